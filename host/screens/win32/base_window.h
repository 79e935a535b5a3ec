#pragma once
// What every screen shares: a modeless child dialog of the frame created from
// its template (in the screen's language), one message map per screen that
// falls back to the shared one here (white background, red error line, the
// information button, Cancel and close), the banner by service ID, scaling by
// the frame's factors, moving and hiding controls, and fitting the screen to
// the room the frame has on its display (host/screens/screen_fit.h).
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <vector>

#include "common/win32/origin_block.h"
#include "host/flow/screen_factory.h"
#include "host/screens/win32/dialog_screen.h"

namespace tavc {

class BaseWindow : public DialogScreen {
 public:
  // `in_l_name` names the dialog window (its text, which no caption shows): the
  // screen's class name, by which tools and tests tell screens apart.
  BaseWindow(HINSTANCE in_l_instance, const ScreenRequest& in_l_request, int in_l_dialog_id,
             const wchar_t* in_l_name);
  ~BaseWindow() override;
  BaseWindow(const BaseWindow&) = delete;
  BaseWindow& operator=(const BaseWindow&) = delete;

  bool Create() override;
  void Show() override;
  bool IsWindow() const override;
  void DestroyWindow() override;
  // Asks the user to confirm the end.
  void OnClose() override;
  HWND GetWindowHandle() const override { return m_window_; }

 protected:
  // Builds the screen's contents (WM_INITDIALOG).
  virtual void OnInitDialog() = 0;
  // The screen's own message map; true when it handled the message.
  virtual bool OnMessage(UINT in_l_message, WPARAM in_l_wparam, LPARAM in_l_lparam, INT_PTR& out_l_result);
  // Screens with a red error line (control 1039) draw it in red.
  virtual bool HasRedErrorLine() const { return false; }

  // A field that scrolls, and the least height it keeps, in dialog units.
  struct FieldMinimum {
    int id;
    int dialog_units;
  };
  // The fields, top to bottom, that give up height when the screen does not
  // fit its display; none by default.
  virtual std::vector<FieldMinimum> ScrollingFields() const { return {}; }
  // The height the screen may still grow by while it shows (an error line
  // that opens); the fit keeps room for it.
  virtual int GrowthReserve() const { return 0; }

  // The language of the dialog template ("en" or Japanese); Japanese by default.
  void SetEnglish(bool in_l_english) { m_english_ = in_l_english; }
  ErrorInfo& Error() const { return *m_request_.error_info; }
  DataStore& Store() const { return *m_request_.data_store; }
  const ScreenRequest& Request() const { return m_request_; }
  HWND Window() const { return m_window_; }
  HWND Item(int in_l_id) const { return GetDlgItem(m_window_, in_l_id); }
  HWND Frame() const;

  // Pixels at the display's scale, and smaller by as much as the screen's font
  // when the screen is laid out smaller to fit.
  int ScaleX(int in_l_pixels) const;
  int ScaleY(int in_l_pixels) const;
  void SetCaption(std::uint32_t in_l_title_id) const;
  void SetText(int in_l_id, std::uint32_t in_l_text_id) const;
  void SetText(int in_l_id, const std::wstring& in_l_text) const;
  // Moves a control up by dy pixels (down when negative).
  void MoveWindowObject(int in_l_id, int in_l_dy) const;
  void MoveWindowObjects(std::initializer_list<int> in_l_ids, int in_l_dy) const;
  // Hides a control, moves OK and Cancel up by its height, shrinks the dialog by it.
  void HideObject(int in_l_id) const;
  int Height(int in_l_id) const;
  // Resizes the dialog to its width and its height minus dy, at (0,0).
  void ShrinkDialog(int in_l_dy) const;
  // The banner by service ID; without one the banner control takes no height
  // and `in_l_below` move up by 85 × scale y, the dialog shrinking by it.
  void SetUpBanner(std::initializer_list<int> in_l_below);
  // Collapses the banner control as when there is no banner.
  void CollapseBanner(std::initializer_list<int> in_l_below) const;
  // The information button's two pictures.
  void SetUpVersionButton();
  // The FAQ address field in a 12-point font.
  void SetUpUrlFont();
  // Makes the address field tall enough for every line its text wraps into:
  // `in_l_below` move down and the dialog grows by what it gains.
  void FitUrlField(std::initializer_list<int> in_l_below) const;
  void DeleteBanner();
  void Post(UINT in_l_message, WPARAM in_l_wparam) const;
  // The information button: the version information, modal; the screen stays.
  void OnShowVersion();
  // When the request names an origin: its line, and the extra line when not
  // empty, above the first control under the banner. The dialog grows by the
  // height returned.
  int ShowOrigin(const std::wstring& in_l_extra_line = L"");
  // Keeps a font the window's controls use until the window goes; returns it.
  HFONT KeepFont(HFONT in_l_font);
  // Expires when the screen is deleted. A modal loop run from a handler goes on
  // delivering the frame's messages, which may replace and delete the screen:
  // after it the handler touches the screen only while this has not expired.
  std::weak_ptr<const int> AliveToken() const { return m_alive_; }

 private:
  static INT_PTR CALLBACK DialogProc(HWND in_l_dialog, UINT in_l_message, WPARAM in_l_wparam, LPARAM in_l_lparam);
  INT_PTR BaseMessage(UINT in_l_message, WPARAM in_l_wparam, LPARAM in_l_lparam);
  // The screen's dialog template, in its language; empty when missing.
  std::vector<std::uint8_t> TemplateBytes() const;
  // The size the screen needs: its client area and what it may grow by.
  ScreenSize Needed() const;
  // The scrolling fields give up what the screen lacks of the room's height.
  void FitFields(ScreenSize in_l_room) const;
  // What belongs to the window: the banner, pictures and fonts.
  void ReleaseWindowResources();

  HINSTANCE m_instance_;
  ScreenRequest m_request_;
  int m_dialog_id_;
  const wchar_t* m_name_;
  bool m_english_ = false;
  HWND m_window_ = nullptr;
  // The screen's font size over its template's: below 1 when laid out smaller to fit.
  double m_zoom_ = 1.0;
  HBITMAP m_banner_ = nullptr;
  // A button does not free the pictures it is given.
  HIMAGELIST m_version_images_ = nullptr;
  std::vector<HFONT> m_fonts_;
  std::optional<OriginBlock> m_origin_block_;
  std::shared_ptr<const int> m_alive_ = std::make_shared<const int>(0);
};

}  // namespace tavc
