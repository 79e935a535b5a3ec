#include "tests/qt/qt_run.h"

#include <QEventLoop>
#include <QTimer>

#include "tests/support/headless_run.h"

namespace tavc::test {

QtRun::QtRun(platform::SCardApi& io_l_api, const std::string& in_l_request_json)
    : m_streams_(tavc::test::Frame(in_l_request_json)) {
  m_frame_ = std::make_unique<QtFrame>(QtFrameServices{
      m_streams_, [](std::wstring& out_l_version) { return out_l_version = L"1.0.0.0", true; }, m_input_, io_l_api,
      m_registry_, [] { return 0; }});
}

QtRun::~QtRun() { m_frame_.reset(); }

void QtRun::OnCall(const std::string& in_l_name, std::function<void()> in_l_call) {
  m_calls_[in_l_name] = std::move(in_l_call);
}

bool QtRun::Run(std::vector<std::string> in_l_steps, std::chrono::milliseconds in_l_limit) {
  m_driver_ = new ScreenDriver(*m_frame_, std::move(in_l_steps));
  for (auto& l_call : m_calls_) m_driver_->OnCall(l_call.first, l_call.second);
  QEventLoop l_loop;
  bool l_ended = false;
  QObject::connect(m_frame_.get(), &QtFrame::Ended, &l_loop, [&] {
    l_ended = true;
    l_loop.quit();
  });
  QObject::connect(m_driver_, &ScreenDriver::Failed, &l_loop, &QEventLoop::quit);
  QTimer::singleShot(in_l_limit, &l_loop, &QEventLoop::quit);
  QTimer::singleShot(0, m_frame_.get(), [this] { m_frame_->Start(); });
  l_loop.exec();
  m_failure_ = m_driver_->Failure();
  if (!l_ended && m_failure_.empty()) m_failure_ = "the run did not end in time";
  return l_ended && m_failure_.empty();
}

std::string QtRun::Answer() const {
  std::string l_json;
  return ReadAnswerFrame(m_streams_.output, l_json) ? l_json : std::string();
}

}  // namespace tavc::test
