// A stand-in for TAV behind the wrapper's POSIX frame: reads and answers frames
// as TAV_STANDIN says, and notes in TAV_STANDIN_LOG what it got and how it was
// started (its open descriptors, SIGPIPE, its process group).
//   answer:<json>  reads the request, answers the JSON (and TAV's zero byte),
//                  then notes every later frame until its input ends
//   hold           reads the request, then notes every later frame until its input ends
//   die            reads the request and ends without an answer
//   deaf           never reads; ends after a minute
//   huge           reads the request and answers a frame larger than 1 MiB
#include <dirent.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::ofstream g_log;

bool ReadAll(std::uint8_t* out_data, std::size_t in_size) {
  std::size_t l_done = 0;
  while (l_done < in_size) {
    const ssize_t l_read = read(STDIN_FILENO, out_data + l_done, in_size - l_done);
    if (l_read <= 0) return false;
    l_done += static_cast<std::size_t>(l_read);
  }
  return true;
}

bool ReadFrame(std::string& out_json) {
  std::uint8_t l_prefix[4];
  if (!ReadAll(l_prefix, 4)) return false;
  std::uint32_t l_size = 0;
  for (int l_i = 3; l_i >= 0; --l_i) l_size = (l_size << 8) | l_prefix[l_i];
  out_json.assign(l_size, '\0');
  return ReadAll(reinterpret_cast<std::uint8_t*>(out_json.data()), l_size);
}

void WriteAll(const std::string& in_bytes) {
  std::size_t l_done = 0;
  while (l_done < in_bytes.size()) {
    const ssize_t l_written = write(STDOUT_FILENO, in_bytes.data() + l_done, in_bytes.size() - l_done);
    if (l_written <= 0) return;
    l_done += static_cast<std::size_t>(l_written);
  }
}

std::string Prefix(std::uint32_t in_size) {
  std::string l_prefix(4, '\0');
  for (std::size_t l_i = 0; l_i < 4; ++l_i) l_prefix[l_i] = static_cast<char>(in_size >> (8 * l_i));
  return l_prefix;
}

// The descriptors it was started with, before it opens any of its own.
std::string OpenDescriptors() {
  std::string l_fds;
  if (DIR* l_dir = opendir("/proc/self/fd")) {
    std::vector<int> l_open;
    while (const dirent* l_entry = readdir(l_dir)) {
      if (l_entry->d_name[0] != '.' && std::atoi(l_entry->d_name) != dirfd(l_dir)) l_open.push_back(std::atoi(l_entry->d_name));
    }
    closedir(l_dir);
    std::sort(l_open.begin(), l_open.end());
    for (const int l_fd : l_open) l_fds += (l_fds.empty() ? "" : ",") + std::to_string(l_fd);
  }
  return l_fds;
}

void NoteStart(const std::string& in_fds) {
  g_log << "pid " << getpid() << "\n";
  g_log << "fds " << in_fds << "\n";
  struct sigaction l_pipe {};
  sigaction(SIGPIPE, nullptr, &l_pipe);
  g_log << "sigpipe " << (l_pipe.sa_handler == SIG_DFL ? "default" : "changed") << "\n";
  g_log << "own group " << (getpgid(0) == getpid() ? "yes" : "no") << "\n" << std::flush;
}

void NoteLaterFrames() {
  std::string l_json;
  while (ReadFrame(l_json)) g_log << "frame " << l_json << "\n" << std::flush;
  g_log << "input ended\n" << std::flush;
}

}  // namespace

int main() {
  const char* l_log = std::getenv("TAV_STANDIN_LOG");
  const char* l_how = std::getenv("TAV_STANDIN");
  if (l_log == nullptr || l_how == nullptr) return 2;
  const std::string l_fds = OpenDescriptors();
  g_log.open(l_log, std::ios::app);
  NoteStart(l_fds);
  const std::string l_behaviour = l_how;
  if (l_behaviour == "deaf") {
    sleep(60);
    return 0;
  }
  std::string l_request;
  if (!ReadFrame(l_request)) return 1;
  g_log << "request " << l_request << "\n" << std::flush;
  if (l_behaviour.rfind("answer:", 0) == 0) {
    const std::string l_answer = l_behaviour.substr(7);
    WriteAll(Prefix(static_cast<std::uint32_t>(l_answer.size())) + l_answer + std::string(1, '\0'));
    NoteLaterFrames();
  } else if (l_behaviour == "hold") {
    NoteLaterFrames();
  } else if (l_behaviour == "huge") {
    WriteAll(Prefix(0x200000) + std::string(0x200000, ' '));
  } else if (l_behaviour == "die") {
    return 3;
  }
  return 0;
}
