#pragma once
// What the wrapper does with each message it receives, and the answers it
// writes itself. Portable: the Win32 frame only carries the decisions out.
#include <string>

// Codes of the wrapper's own answers and messages.
namespace wrapper_codes {
inline constexpr wchar_t kSecondInstance[] = L"EW040-0200";
inline constexpr wchar_t kChildNotStarted[] = L"EW054-0001";
// The answer of TAV is larger than a browser accepts from its host.
inline constexpr wchar_t kAnswerTooLarge[] = L"EW054-0002";
// The request frame declares more bytes than TAV accepts.
inline constexpr wchar_t kRequestTooLarge[] = L"EW042-1200";
// The request is not UTF-8 text.
inline constexpr wchar_t kRequestNotText[] = L"EW042-1201";
// The page named a certificate file or its password itself: only the wrapper's
// file dialog may put them into a request. The code of a wrong combination of
// request keys.
inline constexpr wchar_t kCredentialFromPage[] = L"EW042-1201";
// A thread that fails unexpectedly (an exception) answers as its operation
// fails: the page's frames unreadable, as a request too large is; the request
// not handed to TAV, as when TAV cannot be started; TAV's answer not relayed,
// as when it is too large. The frame's own handlers answer as the start does.
inline constexpr wchar_t kPageReaderFailed[] = L"EW042-1200";
inline constexpr wchar_t kRequestWriterFailed[] = L"EW054-0001";
inline constexpr wchar_t kAnswerReaderFailed[] = L"EW054-0002";
inline constexpr wchar_t kFrameFailed[] = L"EW054-0001";
}  // namespace wrapper_codes

// The request carries "file_path" or "file_password" as a key, whatever its value.
bool CarriesCredential(const std::wstring& in_request);

// A later message of the browser that asks to cancel the run (mode "05").
bool IsCancelMessage(const std::wstring& in_message);

// The request still fits the frame TAV accepts once written as UTF-8.
bool FitsChildFrame(const std::wstring& in_request);

// Mode "02" or "07" with a certification authority whose key lives in a file.
bool NeedsCertificateFile(const std::wstring& in_request);

// The request's mode member, or "mode":"01" when it has none.
std::wstring ModeMemberOf(const std::wstring& in_request);

// {mode,"result":"<result>"} with ,"errcode":"<code>" when a code is given.
std::wstring OwnAnswer(const std::wstring& in_request, const std::wstring& in_result,
                       const std::wstring& in_errcode);

enum class [[nodiscard]] ChildAnswerAction {
  kRelayAndEnd,    // write the answer to the browser, end the run
  kRetryWithFile,  // file run, the file or password failed: close the child, show the dialog again
  kIgnore,
};
ChildAnswerAction DecideOnChildAnswer(bool in_transparent, const std::wstring& in_answer);

enum class [[nodiscard]] ParentMessageAction {
  kIgnore,                // not a cancel
  kEnd,                   // a cancel while no child runs
  kForwardCancelAndEnd,   // a cancel for the running child
};
ParentMessageAction DecideOnParentMessage(const std::wstring& in_message, bool in_child_running);

// The request TAV gets in a file run: the chosen file and password as JSON
// strings (escaped), and no "ca" nor any file key of the page. The password
// leaves no copy behind in freed memory.
std::wstring RequestWithFile(const std::wstring& in_unedited, const std::wstring& in_path,
                             const std::wstring& in_password);
