#include "host/screens/qt/processing_screen.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "common/qt/qt_text.h"
#include "common/template_format.h"
#include "host/cert/certificate.h"
#include "host/resources/message_texts.h"

namespace tavc {
namespace {

constexpr int kTimerMs = 20;

struct ProcessMode {
  std::uint32_t text_id;     // 0: no text
  std::uint32_t warning_id;  // 0: no warning line
  bool cancel_enabled;
  bool signing;
};

ProcessMode ProcessModeOf(int in_l_mode) {
  switch (in_l_mode) {
    case 0: return {2011, 0, true, false};
    case 1: return {2012, 0, true, false};
    case 2: return {2013, 0, false, false};
    case 3: return {2030, 2055, false, false};
    case 4:
    case 6: return {2062, 0, true, true};
    case 5: return {2070, 0, true, false};
    case 7: return {2071, 2072, false, false};
    default: return {0, 0, true, false};
  }
}

}  // namespace

ProcessingScreen::ProcessingScreen(const ScreenRequest& in_l_request, MessagePoster& io_l_poster,
                                   ScreenFactory& io_l_factory)
    : QtScreen(in_l_request, io_l_poster, io_l_factory, "ProcessingScreen") {
  SetCaption(3006);
  const ProcessMode l_process = ProcessModeOf(Request().process_mode);
  // The password change shows no banner: the warning takes its place, in bold.
  if (l_process.warning_id == 0) AddBanner();
  m_message_ = AddText("message", l_process.text_id != 0 && !l_process.signing ? LoadMessageText(l_process.text_id)
                                                                                : std::wstring());
  m_message_->setAlignment(Qt::AlignHCenter);
  if (l_process.warning_id != 0) {
    QLabel* l_warning = AddText("warning", LoadMessageText(l_process.warning_id));
    QFont l_bold = l_warning->font();
    l_bold.setBold(true);
    l_warning->setFont(l_bold);
  }
  m_bar_ = new QProgressBar(this);
  m_bar_->setObjectName(QStringLiteral("progress"));
  m_bar_->setTextVisible(false);
  // A busy bar until there is something to count.
  m_bar_->setRange(0, 0);
  Body()->addWidget(m_bar_);
  QHBoxLayout* l_row = AddButtonRow();
  QPushButton* l_cancel = AddButton(l_row, "cancel", 3101);
  l_cancel->setEnabled(l_process.cancel_enabled);
  l_cancel->setVisible(l_process.warning_id == 0);
  connect(l_cancel, &QPushButton::clicked, this, [this] { OnCancel(); });
  if (l_process.signing) {
    const std::size_t l_total = Store().GetDigest().size();
    m_bar_->setRange(0, static_cast<int>(l_total));
    m_bar_->setValue(0);
    ShowCount(0, l_total);
    connect(&m_timer_, &QTimer::timeout, this, [this] { OnTimer(); });
    m_timer_.start(kTimerMs);
  }
}

void ProcessingScreen::ShowCount(std::size_t in_l_made, std::size_t in_l_total) const {
  m_message_->setText(
      ToQString(FormatTemplate(LoadMessageText(2062), {std::to_wstring(in_l_made), std::to_wstring(in_l_total)})));
}

void ProcessingScreen::OnTimer() {
  // Both counts are safe to read while a worker appends.
  const std::size_t l_made = Request().certificate != nullptr   ? Request().certificate->GetSignatureCount()
                             : Request().result_data != nullptr ? Request().result_data->GetSignatureCount()
                                                                : 0;
  const std::size_t l_total = Store().GetDigest().size();
  if (static_cast<std::size_t>(m_bar_->value()) == l_made || l_made < 1 || l_made > l_total) return;
  ShowCount(l_made, l_total);
  m_bar_->setValue(static_cast<int>(l_made));
  if (l_made == l_total) m_timer_.stop();
}

void ProcessingScreen::OnClose() {
  const int l_mode = Request().process_mode;
  if (l_mode == 2 || l_mode == 3) return;
  QtScreen::OnClose();
}

}  // namespace tavc
