// Standard input as the interrupt watcher sees it, over a real pipe.
#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "platform/input_pipe.h"

namespace tavc {
namespace {

class PosixInputPipe : public ::testing::Test {
 protected:
  void SetUp() override {
    int l_fds[2] = {-1, -1};
    ASSERT_EQ(0, pipe(l_fds));
    m_input_ = platform::InputPipeOnDescriptor(l_fds[0]);
    m_write_end_ = l_fds[1];
  }
  void TearDown() override { CloseWriter(); }
  void CloseWriter() {
    if (m_write_end_ >= 0) close(m_write_end_);
    m_write_end_ = -1;
  }
  void Write(const char* in_l_bytes, std::size_t in_l_size) {
    ASSERT_EQ(static_cast<ssize_t>(in_l_size), write(m_write_end_, in_l_bytes, in_l_size));
  }

  std::unique_ptr<platform::InputPipe> m_input_;
  int m_write_end_ = -1;
};

TEST_F(PosixInputPipe, CountsWhatCanBeReadWithoutBlocking) {
  EXPECT_EQ(0, m_input_->Available());
  Write("a\0b", 3);
  EXPECT_EQ(3, m_input_->Available());
  EXPECT_EQ('a', m_input_->ReadByte());
  EXPECT_EQ(0, m_input_->ReadByte());
  EXPECT_EQ(1, m_input_->Available());
}

TEST_F(PosixInputPipe, BrokenOnlyOnceTheLeftoverIsRead) {
  Write("xy", 2);
  CloseWriter();
  EXPECT_EQ(2, m_input_->Available());
  EXPECT_EQ('x', m_input_->ReadByte());
  EXPECT_EQ('y', m_input_->ReadByte());
  EXPECT_EQ(platform::InputPipe::kBroken, m_input_->Available());
  EXPECT_EQ(platform::InputPipe::kEndOfFile, m_input_->ReadByte());
}

TEST_F(PosixInputPipe, ClosedInputIsBroken) {
  Write("z", 1);
  m_input_->Close();
  EXPECT_EQ(platform::InputPipe::kBroken, m_input_->Available());
  EXPECT_EQ(platform::InputPipe::kEndOfFile, m_input_->ReadByte());
}

TEST(PosixInputFile, AFileIsNoPipe) {
  // As on Windows, where a file cannot be peeked at.
  char l_path[] = "/tmp/tav-input-XXXXXX";
  const int l_fd = mkstemp(l_path);
  ASSERT_GE(l_fd, 0);
  unlink(l_path);
  ASSERT_EQ(1, write(l_fd, "q", 1));
  lseek(l_fd, 0, SEEK_SET);
  EXPECT_EQ(platform::InputPipe::kBroken, platform::InputPipeOnDescriptor(l_fd)->Available());
}

}  // namespace
}  // namespace tavc
#endif
