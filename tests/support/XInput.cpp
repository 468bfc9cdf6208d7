#include "tests/support/XInput.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>

namespace {

// X errors are reported by callback, process-wide; a call counts them over its
// own requests, which it waits for with XSync.
int ErrorsSeen = 0;

int CountXError(Display*, XErrorEvent*) {
  ++ErrorsSeen;
  return 0;
}

struct TDisplayCloser {
  void operator()(Display* display) const { XCloseDisplay(display); }
};

// One connection to the display of DISPLAY, closed when it goes.
class TConnection {
 public:
  TConnection() : Display_(XOpenDisplay(nullptr)) {
    XSetErrorHandler(CountXError);
    ErrorsSeen = 0;
  }
  explicit operator bool() const { return Display_ != nullptr; }
  Display* operator*() const { return Display_.get(); }
  // Waits until the server has handled every request so far; false if one failed.
  bool Sync() const {
    XSync(Display_.get(), False);
    return ErrorsSeen == 0;
  }

 private:
  std::unique_ptr<Display, TDisplayCloser> Display_;
};

Window ParseWindow(const std::string& id) {
  return std::strtoul(id.c_str(), nullptr, 0);
}

bool HasPid(Display* display, Window window, pid_t pid) {
  const Atom property = XInternAtom(display, "_NET_WM_PID", True);
  if (property == None) return false;
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(display, window, property, 0, 1, False, XA_CARDINAL, &type, &format,
                         &count, &after, &data) != Success) {
    return false;
  }
  const bool match = data && format == 32 && count == 1 &&
                     static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data)) == pid;
  if (data) XFree(data);
  return match;
}

bool HasTitle(Display* display, Window window, const std::string& title) {
  char* name = nullptr;
  const bool match = XFetchName(display, window, &name) && name && title == name;
  if (name) XFree(name);
  return match;
}

bool IsMapped(Display* display, Window window) {
  XWindowAttributes attributes{};
  return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}

// Depth first from `window`; windows that vanish during the walk are skipped.
Window Search(Display* display, Window window, pid_t pid, const std::string& title) {
  if (HasTitle(display, window, title) && HasPid(display, window, pid) &&
      IsMapped(display, window)) {
    return window;
  }
  Window root = 0, parent = 0, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display, window, &root, &parent, &children, &count)) return 0;
  Window found = 0;
  for (unsigned n = 0; n < count && !found; ++n) found = Search(display, children[n], pid, title);
  if (children) XFree(children);
  return found;
}

}  // namespace

std::string TXInput::FindWindow(pid_t pid, const std::string& title, double timeoutSeconds,
                                const std::function<bool()>& keepWaiting) {
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSeconds);
  for (;;) {
    const TConnection x;
    if (x) {
      if (const Window found = Search(*x, DefaultRootWindow(*x), pid, title))
        return std::to_string(found);
    }
    if (std::chrono::steady_clock::now() >= deadline) return {};
    if (keepWaiting && !keepWaiting()) return {};
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

bool TXInput::PressKeys(const std::string& window, const std::vector<std::string>& keys) {
  TConnection x;
  if (!x) return false;
  XSetInputFocus(*x, ParseWindow(window), RevertToParent, CurrentTime);
  bool ok = x.Sync();
  for (std::size_t n = 0; n < keys.size(); ++n) {
    const KeyCode code = XKeysymToKeycode(*x, XStringToKeysym(keys[n].c_str()));
    if (code == 0) return false;
    // Keys typed one after another get the server's time apart, as a hand's
    // would: a release and a press with the same time stamp are what X's key
    // repeat sends, and toolkits (GLFW among them) take them for one held key.
    const unsigned long gapMs = n == 0 ? 0 : 10;
    // Press and release go out together, so the release cannot be lost to a
    // window that closes on the press.
    ok &= XTestFakeKeyEvent(*x, code, True, gapMs) != 0;
    ok &= XTestFakeKeyEvent(*x, code, False, CurrentTime) != 0;
    ok &= x.Sync();
  }
  return ok && HeldKeys().empty();
}

bool TXInput::SendCloseRequest(const std::string& window) {
  TConnection x;
  if (!x) return false;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = ParseWindow(window);
  event.xclient.message_type = XInternAtom(*x, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(*x, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  const Status sent = XSendEvent(*x, event.xclient.window, False, NoEventMask, &event);
  return x.Sync() && sent != 0;
}

bool TXInput::MovePointer(const std::string& window, int x, int y) {
  int screenX = 0, screenY = 0;
  {
    TConnection c;
    if (!c) return false;
    Window child = 0;
    if (!XTranslateCoordinates(*c, ParseWindow(window), DefaultRootWindow(*c), x, y, &screenX,
                               &screenY, &child) ||
        !c.Sync()) {
      return false;
    }
  }
  return MovePointerOnScreen(screenX, screenY);
}

bool TXInput::MovePointerOnScreen(int x, int y) {
  TConnection c;
  if (!c) return false;
  const bool sent = XTestFakeMotionEvent(*c, -1, x, y, CurrentTime) != 0;
  return c.Sync() && sent;
}

std::string TXInput::HeldKeys() {
  TConnection x;
  if (!x) return "no display";
  char keys[32] = {};
  XQueryKeymap(*x, keys);
  std::string held;
  for (int code = 0; code < 256; ++code) {
    if (!(keys[code / 8] & (1 << (code % 8)))) continue;
    if (!held.empty()) held += ' ';
    held += std::to_string(code);
  }
  return held;
}
