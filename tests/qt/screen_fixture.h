#pragma once
// One Qt screen at a time, made by the product's factory over a data store,
// an error record and a poster that records what the screen posts, inside a
// host window that stands for the frame. Tests act on the screen with QTest
// as a user would and read what it posted.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QTest>

#include <memory>

#include "common/qt/qt_text.h"
#include "host/screens/qt/qt_screen_factory.h"
#include "host/state/data_store.h"
#include "host/state/error_info.h"
#include "host/state/result_data.h"
#include "tests/unit/core/recording_poster.h"

namespace tavc::test {

class QtScreenTest : public ::testing::Test {
 protected:
  ~QtScreenTest() override {
    // Screens a screen opened itself travel as the posts' lParam.
    for (const PostedMessage& l_post : m_poster_.Posted()) {
      if (l_post.message == WM_TVNNOTIFY) delete reinterpret_cast<Screen*>(l_post.lparam);
    }
  }

  // Makes the screen of that kind and shows it in the host window.
  QtScreen* Open(ScreenKind in_l_kind, int in_l_process_mode = 0) {
    ScreenRequest l_request;
    l_request.kind = in_l_kind;
    l_request.error_info = &m_error_;
    l_request.data_store = &m_store_;
    l_request.process_mode = in_l_process_mode;
    l_request.result_data = &m_result_;
    l_request.certificate = m_certificate_;
    l_request.second_certificate = m_second_certificate_;
    m_screen_ = m_factory_.CreateScreen(l_request);
    auto* l_handle = dynamic_cast<QtScreenHandle*>(m_screen_.get());
    if (l_handle == nullptr || !m_screen_->Create()) return nullptr;
    l_handle->Widget()->resize(l_handle->Widget()->PreferredSize());
    m_host_.resize(l_handle->Widget()->PreferredSize());
    m_host_.show();
    m_screen_->Show();
    QApplication::setActiveWindow(&m_host_);
    return l_handle->Widget();
  }

  QtScreen* Widget() const { return dynamic_cast<QtScreenHandle*>(m_screen_.get())->Widget(); }

  template <typename Child>
  Child* Find(const char* in_l_name) const {
    return Widget()->findChild<Child*>(QString::fromLatin1(in_l_name));
  }
  QAbstractButton* Button(const char* in_l_name) const { return Find<QAbstractButton>(in_l_name); }
  std::wstring TextOf(const char* in_l_name) const {
    const auto* l_label = Find<QLabel>(in_l_name);
    return l_label != nullptr ? FromQString(l_label->text()) : L"<none: " + FromQString(in_l_name) + L">";
  }
  bool Shown(const char* in_l_name) const {
    const auto* l_child = Find<QWidget>(in_l_name);
    return l_child != nullptr && l_child->isVisibleTo(Widget());
  }

  // The messages posted so far, without their parameters.
  std::vector<std::uint32_t> Messages() {
    std::vector<std::uint32_t> l_messages;
    for (const PostedMessage& l_post : m_poster_.Posted()) l_messages.push_back(l_post.message);
    return l_messages;
  }
  PostedMessage LastPost() {
    const std::vector<PostedMessage> l_posts = m_poster_.Posted();
    return l_posts.empty() ? PostedMessage{} : l_posts.back();
  }
  // The kind of screen a WM_TVNNOTIFY post carries.
  std::string PostedScreenName() {
    const auto* l_handle = dynamic_cast<const QtScreenHandle*>(reinterpret_cast<Screen*>(LastPost().lparam));
    return l_handle != nullptr && l_handle->Widget() != nullptr ? l_handle->Widget()->objectName().toStdString() : "";
  }

  DataStore m_store_;
  ErrorInfo m_error_;
  ResultData m_result_;
  Certificate* m_certificate_ = nullptr;
  Certificate* m_second_certificate_ = nullptr;
  RecordingPoster m_poster_;
  QWidget m_host_;
  QtScreenFactory m_factory_{m_poster_, &m_host_};
  std::unique_ptr<Screen> m_screen_;
};

}  // namespace tavc::test
