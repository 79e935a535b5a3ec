// The Linux TAV program itself (tav_driven: the product with the screen
// driver) with the virtual card behind a real pcscd: request bytes on its
// standard input, its Qt screens played by TAV_TEST_STEPS, the answer bytes
// on its standard output, the installation identifier in its XDG store.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "tests/integration/pcscd_card_rig.h"
#include "tests/support/answer_checks.h"
#include "tests/unit/core/fake_std_streams.h"

extern char** environ;

namespace tavc::test {
namespace {

constexpr char kVersions[] = "\"latest_version\":\"1\",\"available_version\":\"1\"";

class LinuxTavPcscd : public ::testing::Test {
 protected:
  void SetUp() override {
    char l_template[] = "/tmp/tav-linux-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(l_template));
    m_home_ = l_template;
  }
  void TearDown() override { std::filesystem::remove_all(m_home_); }

  // Runs TAV on the request with the driver's steps; the answer's JSON, or a reason.
  std::string RunTav(const std::string& in_l_request, const std::string& in_l_steps) {
    int l_in[2] = {-1, -1};
    int l_out[2] = {-1, -1};
    if (pipe2(l_in, O_CLOEXEC) != 0 || pipe2(l_out, O_CLOEXEC) != 0) return "<no pipes>";
    posix_spawn_file_actions_t l_actions;
    posix_spawn_file_actions_init(&l_actions);
    posix_spawn_file_actions_adddup2(&l_actions, l_in[0], 0);
    posix_spawn_file_actions_adddup2(&l_actions, l_out[1], 1);
    std::vector<std::string> l_environment = {"QT_QPA_PLATFORM=offscreen", "XDG_CONFIG_HOME=" + m_home_ + "/config",
                                              "XDG_RUNTIME_DIR=" + m_home_, "HOME=" + m_home_,
                                              "TAV_TEST_STEPS=" + in_l_steps};
    for (const char* l_name : {"PATH", "LANG"}) {
      if (std::getenv(l_name) != nullptr) l_environment.push_back(std::string(l_name) + "=" + std::getenv(l_name));
    }
    std::vector<char*> l_env;
    for (std::string& l_entry : l_environment) l_env.push_back(l_entry.data());
    l_env.push_back(nullptr);
    char l_name[] = "TAV";
    char* l_argv[] = {l_name, nullptr};
    pid_t l_pid = -1;
    const int l_spawned = posix_spawn(&l_pid, TAV_DRIVEN_PATH, &l_actions, nullptr, l_argv, l_env.data());
    posix_spawn_file_actions_destroy(&l_actions);
    close(l_in[0]);
    close(l_out[1]);
    if (l_spawned != 0) return "<not started>";
    const std::vector<std::uint8_t> l_frame = Frame(in_l_request);
    const bool l_written = write(l_in[1], l_frame.data(), l_frame.size()) == static_cast<ssize_t>(l_frame.size());
    std::vector<std::uint8_t> l_output;
    std::uint8_t l_buffer[4096];
    for (ssize_t l_read; (l_read = read(l_out[0], l_buffer, sizeof l_buffer)) != 0;) {
      if (l_read < 0 && errno == EINTR) continue;
      if (l_read < 0) break;
      l_output.insert(l_output.end(), l_buffer, l_buffer + l_read);
    }
    // The page stays until the answer is in; then it goes.
    close(l_in[1]);
    close(l_out[0]);
    int l_status = 0;
    while (waitpid(l_pid, &l_status, 0) < 0 && errno == EINTR) {
    }
    std::string l_json;
    if (!l_written || !WIFEXITED(l_status) || WEXITSTATUS(l_status) != 0) return "<TAV failed>";
    return ReadAnswerFrame(l_output, l_json) ? l_json : "<no answer frame>";
  }

  void StartCards(const std::vector<ReaderSetup>& in_l_readers) {
    std::string l_error;
    ASSERT_TRUE(m_rig_.Start(in_l_readers, &l_error)) << l_error;
  }

  std::string m_home_;
  PcscdCardRig m_rig_;
};

TEST_F(LinuxTavPcscd, LogInAnswersAsTheWindowsBuildAndKeepsItsIdentifierPrivate) {
  StartCards({{CardKind::kMyNumber}});
  const std::string l_request = std::string("{\"mode\":\"01\",") + kVersions + ",\"service_id\":\"01\",\"digest\":\"" +
                                DigestInfoBase64("log-in challenge") + "\"}";
  const std::string l_answer = RunTav(l_request, "screen=PasswordSetScreen fill=password:1234 click=ok");
  const std::vector<std::uint8_t> l_certificate = m_rig_.Certificate(0, "auth");
  EXPECT_TRUE(SignatureOfTextVerifies(l_certificate, "log-in challenge", AnswerField(l_answer, "signature")))
      << l_answer;
  EXPECT_EQ(LogInAnswer(l_answer, l_certificate), l_answer);
  struct stat l_stat {};
  ASSERT_EQ(0, stat((m_home_ + "/config/tavori/registry/Software/TAV/UUID.value").c_str(), &l_stat));
  EXPECT_EQ(0600U, l_stat.st_mode & 0777U);
  // The next run of the same user answers with the same identifier.
  EXPECT_EQ(AnswerField(l_answer, "uuid"),
            AnswerField(RunTav(l_request, "screen=PasswordSetScreen fill=password:1234 click=ok"), "uuid"));
}

TEST_F(LinuxTavPcscd, SigningTwoDigestsAndAWrongPasswordFirst) {
  StartCards({{CardKind::kMyNumber}});
  const std::string l_answer =
      RunTav(std::string("{\"mode\":\"02\",") + kVersions + ",\"digest\":[\"" + DigestInfoBase64("one") + "\",\"" +
                 DigestInfoBase64("two") + "\"]}",
             "screen=PasswordSetScreen fill=password:WRONG1 click=ok shows=error fill=password:abc123 click=ok");
  EXPECT_EQ("0", AnswerField(l_answer, "result")) << l_answer;
  EXPECT_NE(std::string::npos, l_answer.find("\"signature\":[")) << l_answer;
}

}  // namespace
}  // namespace tavc::test
