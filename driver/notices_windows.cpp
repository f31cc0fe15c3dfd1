// scenario_build as a Windows program (Windows subsystem): the wait window, the fatal message box
// and the reports of a run that did not end cleanly (driver/notices.h).
//
// The wait window lives on a thread of its own, with its own message loop, so that it stays
// painted (and answers the system) however long the work takes; show_wait_notice returns once it
// has been painted, before the first file is written. It is "Form1", with a client area of 280 by
// 179 pixels at 96 dots per inch (more on a screen of more), holding the label "Attendere" at
// 64,64, 177 by 53, in "MS Sans Serif" 24 point bold, or the font the system puts in its place.
// Closing it by hand does not stop the work: it goes when the run ends.
//
// The reports that the shared code prints on standard error (cli/reports.h) are gathered while the
// run works, since a window program has no console; a run that ends with a compile error (status
// 1) or a file-system failure (status 3) shows them in a message box once the files are written.
#include <windows.h>

#include <condition_variable>
#include <cstdlib>
#include <iostream>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>

#include "disk/text_windows.h"
#include "driver/notices.h"
#include "model/status.h"

namespace scenario {
namespace {

constexpr const wchar_t* kWaitClass = L"ScenarioBuildWait";
constexpr UINT kEndWait = WM_APP + 1;
constexpr int kClientWidth = 280;
constexpr int kClientHeight = 179;
constexpr int kLabelLeft = 64;
constexpr int kLabelTop = 64;
constexpr int kLabelWidth = 177;
constexpr int kLabelHeight = 53;
constexpr int kLabelPoints = 24;
constexpr int kDesignDpi = 96;

// The wait window's thread and what it tells the program's thread.
struct WaitWindow {
  std::thread thread;
  std::mutex mutex;
  std::condition_variable shown;
  bool ready = false;
  HWND window = nullptr;
};
WaitWindow* wait_window = nullptr;

// What the run printed on standard error, and the stream buffer standard error had before.
std::ostringstream* gathered = nullptr;

LRESULT CALLBACK wait_procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_CLOSE:
      return 0;  // the window goes when the run ends, not before
    case kEndWait:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_CTLCOLORSTATIC:
      SetBkColor(reinterpret_cast<HDC>(w), GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    default:
      return DefWindowProcW(window, message, w, l);
  }
}

int screen_dpi() {
  const HDC screen = GetDC(nullptr);
  const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : kDesignDpi;
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : kDesignDpi;
}

// Makes, paints and runs the wait window; tells `wait` once it is painted (or could not be made).
void run_wait_window(WaitWindow* wait) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW type{};
  type.cbSize = sizeof type;
  type.lpfnWndProc = wait_procedure;
  type.hInstance = instance;
  type.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT));
  type.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
  type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  type.lpszClassName = kWaitClass;
  RegisterClassExW(&type);

  const int dpi = screen_dpi();
  auto scaled = [dpi](int pixels) { return MulDiv(pixels, dpi, kDesignDpi); };
  constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT frame{0, 0, scaled(kClientWidth), scaled(kClientHeight)};
  AdjustWindowRectEx(&frame, kStyle, FALSE, 0);
  const HWND window = CreateWindowExW(0, kWaitClass, L"Form1", kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                                      frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance,
                                      nullptr);
  HFONT font = nullptr;
  if (window != nullptr) {
    font = CreateFontW(-MulDiv(kLabelPoints, dpi, 72), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                       L"MS Sans Serif");
    const HWND label = CreateWindowExW(0, L"STATIC", L"Attendere", WS_CHILD | WS_VISIBLE | SS_LEFT, scaled(kLabelLeft),
                                       scaled(kLabelTop), scaled(kLabelWidth), scaled(kLabelHeight), window, nullptr,
                                       instance, nullptr);
    if (label != nullptr && font != nullptr) SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    ShowWindow(window, SW_SHOWNORMAL);
    // Painted now, the label with it, before the program's thread goes on.
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    GdiFlush();
  }
  {
    const std::lock_guard<std::mutex> lock(wait->mutex);
    wait->window = window;
    wait->ready = true;
  }
  wait->shown.notify_all();
  if (window == nullptr) return;
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  if (font != nullptr) DeleteObject(font);
}

// Takes the wait window away, if it is there, and waits for its thread to end.
void end_wait_window() {
  if (wait_window == nullptr) return;
  if (wait_window->window != nullptr) PostMessageW(wait_window->window, kEndWait, 0, 0);
  wait_window->thread.join();
  delete wait_window;
  wait_window = nullptr;
}

void message_box(const std::string& text, const wchar_t* title, UINT kind) {
  std::wstring wide;
  if (!wide_from_utf8(text, &wide)) wide = L"?";
  MessageBoxW(nullptr, wide.c_str(), title, MB_OK | MB_SETFOREGROUND | kind);
}

}  // namespace

void start_notices() {
  gathered = new std::ostringstream;
  std::cerr.rdbuf(gathered->rdbuf());
}

void show_wait_notice() {
  if (wait_window != nullptr) return;
  wait_window = new WaitWindow;
  wait_window->thread = std::thread(run_wait_window, wait_window);
  std::unique_lock<std::mutex> lock(wait_window->mutex);
  wait_window->shown.wait(lock, [] { return wait_window->ready; });
}

// The text alone, OK only, no icon, the default title: over the wait window, which goes with it.
void show_fatal_report(const std::string& text) {
  message_box(text, nullptr, 0);
  end_wait_window();
  std::exit(kExitFatal);
}

// The reports over the wait window, which goes once they have been read.
int finish_notices(int status) {
  std::string reports = gathered != nullptr ? gathered->str() : std::string();
  while (!reports.empty() && (reports.back() == '\n' || reports.back() == '\r')) reports.pop_back();
  if (status != kExitClean && !reports.empty()) {
    message_box(reports, L"scenario_build", status == kExitCompileError ? MB_ICONWARNING : MB_ICONERROR);
  }
  end_wait_window();
  return status;
}

}  // namespace scenario
