#pragma once
// An OpenGL 3.3 core context with no window: EGL on the surfaceless
// platform (Mesa, also its software rasteriser when there is no GPU and no
// display), else EGL's default display with a 1x1 pbuffer. The GL device
// draws into framebuffer objects of its own, so it needs no surface.
#include <string>

class EglContext {
 public:
  // Current for one scope: a device operation.
  class Scope {
   public:
    explicit Scope(EglContext& context) : context_(context) { context_.MakeCurrent(); }
    ~Scope() { context_.Release(); }
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

   private:
    EglContext& context_;
  };

 public:
  EglContext() = default;
  EglContext(const EglContext&) = delete;
  EglContext& operator=(const EglContext&) = delete;
  ~EglContext();
  // Makes the context and makes it current; false with the reason in *why.
  bool Create(std::string* why);
  // Makes it current, after the foreign context (if any) was let go.
  void MakeCurrent();
  // Leaves no context current on this thread.
  void Release();
  // The GL renderer's name, for diagnostics.
  std::string Renderer() const { return renderer_; }

 private:
  void* display_ = nullptr;
  void* context_ = nullptr;
  void* surface_ = nullptr;
  std::string renderer_;
};
