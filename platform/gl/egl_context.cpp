#include "platform/gl/egl_context.h"

#include "platform/device_3d.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#define GL_GLEXT_PROTOTYPES 1
#include <GL/glcorearb.h>

namespace {

void (*g_releaseForeign)() = nullptr;

EGLDisplay SurfacelessDisplay() {
  const char* extensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
  const std::string list = extensions ? extensions : "";
  if (list.find("EGL_MESA_platform_surfaceless") == std::string::npos) return EGL_NO_DISPLAY;
  auto getPlatformDisplay =
      reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
  if (!getPlatformDisplay) return EGL_NO_DISPLAY;
  return getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
}

std::string Hex(EGLint code) {
  char text[16];
  static const char digits[] = "0123456789ABCDEF";
  int n = 0;
  text[n++] = '0';
  text[n++] = 'x';
  for (int shift = 12; shift >= 0; shift -= 4) text[n++] = digits[(code >> shift) & 0xF];
  return std::string(text, static_cast<size_t>(n));
}

}  // namespace

EglContext::~EglContext() {
  if (!display_) return;
  EGLDisplay display = static_cast<EGLDisplay>(display_);
  eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  if (context_) eglDestroyContext(display, static_cast<EGLContext>(context_));
  if (surface_) eglDestroySurface(display, static_cast<EGLSurface>(surface_));
  eglTerminate(display);
}

bool EglContext::Create(std::string* why) {
  EGLDisplay display = SurfacelessDisplay();
  bool surfaceless = display != EGL_NO_DISPLAY;
  if (!surfaceless) display = eglGetDisplay(EGL_DEFAULT_DISPLAY);
  if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr)) {
    *why = "no EGL display (install Mesa's EGL and DRI drivers: libegl-mesa0, libgl1-mesa-dri)";
    return false;
  }
  display_ = display;
  if (!eglBindAPI(EGL_OPENGL_API)) {
    *why = "EGL cannot bind desktop OpenGL";
    return false;
  }
  const EGLint configAttributes[] = {EGL_SURFACE_TYPE, surfaceless ? 0 : EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE,
                                     EGL_OPENGL_BIT, EGL_NONE};
  EGLConfig config = nullptr;
  EGLint configs = 0;
  if (!eglChooseConfig(display, configAttributes, &config, 1, &configs) || configs < 1) config = nullptr;
  if (!surfaceless) {
    const EGLint pbuffer[] = {EGL_WIDTH, 1, EGL_HEIGHT, 1, EGL_NONE};
    surface_ = config ? eglCreatePbufferSurface(display, config, pbuffer) : EGL_NO_SURFACE;
    if (!surface_) {
      *why = "EGL has no pbuffer surface for OpenGL";
      return false;
    }
  }
  const EGLint contextAttributes[] = {EGL_CONTEXT_MAJOR_VERSION, 3, EGL_CONTEXT_MINOR_VERSION, 3,
                                      EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT, EGL_NONE};
  context_ = eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttributes);
  if (!context_) {
    *why = "no OpenGL 3.3 core context (EGL error " + Hex(eglGetError()) + ")";
    return false;
  }
  MakeCurrent();
  const GLubyte* renderer = glGetString(GL_RENDERER);
  renderer_ = renderer ? reinterpret_cast<const char*>(renderer) : "unknown";
  return true;
}

void Platform3DSetForeignContextRelease(void (*release)()) { g_releaseForeign = release; }

void EglContext::MakeCurrent() {
  if (g_releaseForeign) g_releaseForeign();
  EGLSurface surface = surface_ ? static_cast<EGLSurface>(surface_) : EGL_NO_SURFACE;
  eglMakeCurrent(static_cast<EGLDisplay>(display_), surface, surface, static_cast<EGLContext>(context_));
}

void EglContext::Release() {
  if (display_) eglMakeCurrent(static_cast<EGLDisplay>(display_), EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
}
