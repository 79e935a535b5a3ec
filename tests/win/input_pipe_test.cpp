// Standard input as the interrupt watcher sees it, and posting to the frame,
// through the real Windows calls.
#include <windows.h>

#include <gtest/gtest.h>

#include "host/flow/frame_message_poster.h"
#include "platform/input_pipe.h"

namespace tavc {
namespace {

// Points standard input at a fresh pipe for one test.
class StdInputPipe : public ::testing::Test {
 protected:
  void SetUp() override {
    m_saved_ = GetStdHandle(STD_INPUT_HANDLE);
    ASSERT_TRUE(CreatePipe(&m_read_end_, &m_write_end_, nullptr, 4096));
    SetStdHandle(STD_INPUT_HANDLE, m_read_end_);
  }
  void TearDown() override {
    CloseWriter();
    // Close() may have closed the read end already.
    if (GetStdHandle(STD_INPUT_HANDLE) == m_read_end_) CloseHandle(m_read_end_);
    SetStdHandle(STD_INPUT_HANDLE, m_saved_);
  }
  void CloseWriter() {
    if (m_write_end_ != nullptr) CloseHandle(m_write_end_);
    m_write_end_ = nullptr;
  }
  void Write(const char* in_l_bytes, DWORD in_l_size) {
    DWORD l_written = 0;
    ASSERT_TRUE(WriteFile(m_write_end_, in_l_bytes, in_l_size, &l_written, nullptr));
    ASSERT_EQ(in_l_size, l_written);
  }

  HANDLE m_saved_ = nullptr;
  HANDLE m_read_end_ = nullptr;
  HANDLE m_write_end_ = nullptr;
};

TEST_F(StdInputPipe, CountsReadsAndNoticesTheWriterGone) {
  platform::InputPipe& l_input = platform::ProcessInputPipe();
  EXPECT_EQ(0, l_input.Available());
  Write("a\0b", 3);
  EXPECT_EQ(3, l_input.Available());
  EXPECT_EQ('a', l_input.ReadByte());
  EXPECT_EQ(0, l_input.ReadByte());
  CloseWriter();
  EXPECT_EQ('b', l_input.ReadByte());
  EXPECT_EQ(platform::InputPipe::kBroken, l_input.Available());
}

TEST_F(StdInputPipe, ClosedInputIsBroken) {
  platform::InputPipe& l_input = platform::ProcessInputPipe();
  Write("z", 1);
  l_input.Close();
  EXPECT_EQ(nullptr, GetStdHandle(STD_INPUT_HANDLE));
  EXPECT_EQ(platform::InputPipe::kBroken, l_input.Available());
}

TEST(FrameMessagePoster, PostsToTheFrameInTheStore) {
  const HWND l_frame = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_NE(nullptr, l_frame);
  DataStore l_store;
  FrameMessagePoster l_poster(l_store);
  EXPECT_FALSE(l_poster.Post(WM_APP06, 0, 0));
  l_store.SetScreenHandle(l_frame);
  ASSERT_TRUE(l_poster.Post(WM_APP05, 3, 7));
  MSG l_message{};
  ASSERT_TRUE(PeekMessageW(&l_message, l_frame, WM_APP01, WM_TVNNOTIFY, PM_REMOVE));
  EXPECT_EQ(WM_APP05, l_message.message);
  EXPECT_EQ(3U, l_message.wParam);
  EXPECT_EQ(7, l_message.lParam);
  DestroyWindow(l_frame);
}

}  // namespace
}  // namespace tavc
