#pragma once
// A whole run of TAV through the Qt frame and the real Qt screens, in this
// process: the request goes in as bytes, a ScreenDriver plays the user, the
// card is a virtual one behind an SCardApi, and the answer comes out as bytes.
// The shared doubles of tests/support stand in for the process's streams,
// standard input and registry.
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "host/app/qt/qt_frame.h"
#include "tests/qt/screen_driver.h"
#include "tests/support/scripted_input.h"
#include "tests/unit/core/fake_std_streams.h"
#include "tests/unit/screens/fake_user_registry.h"

namespace tavc::test {

class QtRun {
 public:
  QtRun(platform::SCardApi& io_l_api, const std::string& in_l_request_json);
  ~QtRun();

  ScriptedInput& Input() { return m_input_; }
  // The frame, from construction (the request is read then) until the run's end.
  QtFrame& Frame() { return *m_frame_; }
  ScreenDriver& Driver() { return *m_driver_; }
  // Plays the steps (screen_driver.h) until the frame ends; false when it did
  // not within the limit or a step gave up (Failure() says which).
  bool Run(std::vector<std::string> in_l_steps, std::chrono::milliseconds in_l_limit = std::chrono::seconds(30));
  // Registers a call= step before Run.
  void OnCall(const std::string& in_l_name, std::function<void()> in_l_call);
  std::string Failure() const { return m_failure_; }

  bool Answered() const { return !m_streams_.output.empty(); }
  // The answer frame's JSON after checking its prefix and trailing zero.
  std::string Answer() const;

 private:
  FakeStdStreams m_streams_;
  ScriptedInput m_input_;
  FakeUserRegistry m_registry_;
  std::map<std::string, std::function<void()>> m_calls_;
  std::unique_ptr<QtFrame> m_frame_;
  ScreenDriver* m_driver_ = nullptr;
  std::string m_failure_;
};

}  // namespace tavc::test
