#pragma once
// Acts as the user on TAV's Qt screens, inside the process: a list of steps
// run one after another on the frame's thread, each waiting (30 s at most)
// until it can act. The in-process frame tests use it, and so does the
// test-only program tav_driven (tests/qt/driven_main.cpp), which takes the
// steps from TAV_TEST_STEPS so that the browser cases can play the user on
// the Linux screens. The product TAV contains none of this.
//
//   screen=<Name>        wait until the frame shows that screen (its class name)
//   shows=<name>         wait until the screen shows that part ("error", "address", ...)
//   fill=<field>:<text>  type the text into a field of the screen ("password", "current", ...)
//   click=<button>       press a button of the screen, or of its open dialog ("ok", "cancel", ...)
//   key=enter|escape     press the key on the screen
//   close                close the frame window (its close box)
//   alert=ok|cancel      wait for the end confirmation and answer it
//   snap=<file.png>      save a picture of the frame (of its open dialog, if one is open)
//   pause=<ms>           wait
//   call=<name>          run what an in-process test registered under the name
#include <QObject>
#include <QTimer>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace tavc {
class QtFrame;
}

namespace tavc::test {

class ScreenDriver final : public QObject {
  Q_OBJECT

 public:
  // Starts at once on the frame's thread; `in_l_steps` as listed above.
  ScreenDriver(QtFrame& io_l_frame, std::vector<std::string> in_l_steps);

  void OnCall(const std::string& in_l_name, std::function<void()> in_l_call);
  bool Done() const { return m_next_ >= m_steps_.size(); }
  // Why a step gave up; empty while none did.
  const std::string& Failure() const { return m_failure_; }

  // The steps of a text, separated by white space.
  static std::vector<std::string> Split(const std::string& in_l_text);

 signals:
  void Failed(const QString& in_l_reason);

 private:
  void Tick();
  // True when the step is done; false to try again on the next tick.
  bool Try(const std::string& in_l_verb, const std::string& in_l_value);

  QtFrame& m_frame_;
  std::vector<std::string> m_steps_;
  std::size_t m_next_ = 0;
  int m_waited_ms_ = 0;
  int m_pause_left_ms_ = -1;
  std::string m_failure_;
  std::map<std::string, std::function<void()>> m_calls_;
  QTimer m_timer_;
};

}  // namespace tavc::test
