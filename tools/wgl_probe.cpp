// SPDX-License-Identifier: MIT
// wgl-probe: tells whether this build's Windows programs get OpenGL where
// they run. It makes a small window with the saver's pixel format, clears it
// to green through a GL context, reads one pixel back and prints the GL
// renderer.
//
// Exit codes: 0 GL works; 2 no GL context for a window; 3 GL drew wrongly.
#include <windows.h>

#include <GL/gl.h>

#include <cstdio>

namespace {

constexpr int no_context = 2;
constexpr int wrong_pixel = 3;

// Makes a GL context current on the window's device context; false when the
// platform offers no pixel format or context for it.
bool make_context(HDC device) {
    PIXELFORMATDESCRIPTOR format = {};
    format.nSize = sizeof format;
    format.nVersion = 1;
    format.dwFlags = PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = 24;
    const int index = ChoosePixelFormat(device, &format);
    if (index == 0 || !SetPixelFormat(device, index, &format)) return false;
    HGLRC context = wglCreateContext(device);
    return context != nullptr && wglMakeCurrent(device, context);
}

}  // namespace

int main() {
    WNDCLASSA probe_class = {};
    probe_class.style = CS_OWNDC;
    probe_class.lpfnWndProc = DefWindowProcA;
    probe_class.hInstance = GetModuleHandleA(nullptr);
    probe_class.lpszClassName = "QuillantWglProbe";
    RegisterClassA(&probe_class);
    HWND window = CreateWindowExA(0, probe_class.lpszClassName, "wgl-probe",
                                  WS_POPUP | WS_VISIBLE, 0, 0, 16, 16, nullptr, nullptr,
                                  probe_class.hInstance, nullptr);
    if (window == nullptr || !make_context(GetDC(window))) {
        std::printf("no GL context for a window\n");
        return no_context;
    }

    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    unsigned char pixel[4] = {};
    glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    std::printf("%s\n", renderer != nullptr ? renderer : "(no renderer name)");
    if (pixel[0] != 0 || pixel[1] != 255 || pixel[2] != 0) {
        std::printf("cleared to green, read back %u,%u,%u\n", pixel[0], pixel[1], pixel[2]);
        return wrong_pixel;
    }
    return 0;
}
