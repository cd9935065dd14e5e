// The 3-D device on OpenGL 3.3 core. Each scene draws into a framebuffer
// object the size of the target, which starts from the target's pixels; the
// rows are kept top down (screen row y is framebuffer row y), so neither
// the upload nor the read-back flips. Transformed-and-lit vertices go to
// clip space as (ndc * w, w) with w = 1 / rhw, so the texture coordinates
// and colours are interpolated with perspective as on the original devices.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/device_3d.h"
#include "platform/gl/egl_context.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/glcorearb.h>

namespace {

const char* const kVertexShader = R"(#version 330 core
layout(location = 0) in vec4 aPosition;  // sx, sy, sz, rhw
layout(location = 1) in vec4 aColour;
layout(location = 2) in vec2 aTexCoord;
uniform vec2 uTarget;
uniform vec4 uViewport;  // x, y, width, height in pixels
out vec4 vColour;
flat out vec4 vFlatColour;
out vec2 vTexCoord;
noperspective out vec2 vAffineTexCoord;
void main() {
  float w = aPosition.w > 0.0 ? 1.0 / aPosition.w : 1.0;
  // Direct3D's pixel centres lie on whole coordinates, OpenGL's on halves.
  vec2 pixel = aPosition.xy + vec2(0.5);
  vec2 ndc = pixel / uTarget * 2.0 - 1.0;
  gl_Position = vec4(ndc * w, (clamp(aPosition.z, 0.0, 1.0) * 2.0 - 1.0) * w, w);
  vColour = aColour;
  vFlatColour = aColour;
  vTexCoord = aTexCoord;
  vAffineTexCoord = aTexCoord;
}
)";

const char* const kFragmentShader = R"(#version 330 core
in vec4 vColour;
flat in vec4 vFlatColour;
in vec2 vTexCoord;
noperspective in vec2 vAffineTexCoord;
uniform sampler2D uTexture;
uniform int uTextured;
uniform int uFlat;
uniform int uPerspective;
out vec4 oColour;
void main() {
  vec4 colour = uFlat != 0 ? vFlatColour : vColour;
  if (uTextured != 0) {
    vec4 texel = texture(uTexture, uPerspective != 0 ? vTexCoord : vAffineTexCoord);
    // The colour key: see-through texels are never drawn.
    if (texel.a < 0.5) discard;
    colour *= texel;
  }
  oColour = colour;
}
)";

GLenum BlendFactor(DWORD d3d) {
  switch (d3d) {
    case 1: return GL_ZERO;
    case D3DBLEND_ONE: return GL_ONE;
    case 3: return GL_SRC_COLOR;
    case 4: return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA: return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA: return GL_ONE_MINUS_SRC_ALPHA;
    case 7: return GL_DST_ALPHA;
    case 8: return GL_ONE_MINUS_DST_ALPHA;
    case 9: return GL_DST_COLOR;
    case 10: return GL_ONE_MINUS_DST_COLOR;
    default: return GL_ONE;
  }
}

GLuint CompileShader(GLenum kind, const char* source, std::string* log) {
  const GLuint shader = glCreateShader(kind);
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  GLint ok = 0;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (!ok) {
    char text[1024];
    glGetShaderInfoLog(shader, sizeof text, nullptr, text);
    *log = text;
    glDeleteShader(shader);
    return 0;
  }
  return shader;
}

class Gl3DDevice : public Platform3DDevice {
 public:
  ~Gl3DDevice() override {
    if (!ready_) return;
    EglContext::Scope current(context_);
    for (GLuint texture : textures_)
      if (texture) glDeleteTextures(1, &texture);
    glDeleteTextures(1, &colourTexture_);
    glDeleteFramebuffers(1, &framebuffer_);
    glDeleteBuffers(1, &vertexBuffer_);
    glDeleteBuffers(1, &indexBuffer_);
    glDeleteVertexArrays(1, &vertexArray_);
    glDeleteProgram(program_);
  }

  const char* Name() const override { return name_.c_str(); }

  bool Open(std::string* why) override {
    if (!tried_) {
      tried_ = true;
      ready_ = Setup(&failure_);
      context_.Release();
    }
    if (!ready_ && why) *why = failure_;
    return ready_;
  }

  uint32_t TextureCreate() override {
    if (!Open(nullptr)) return 0;
    EglContext::Scope current(context_);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    // Ids are indices into textures_ (never 0), so a freed id can be reused.
    for (size_t i = 1; i < textures_.size(); ++i) {
      if (!textures_[i]) {
        textures_[i] = texture;
        return static_cast<uint32_t>(i);
      }
    }
    textures_.push_back(texture);
    return static_cast<uint32_t>(textures_.size() - 1);
  }

  void TextureUpload(uint32_t id, int width, int height, const uint8_t* rgba) override {
    const GLuint texture = Texture(id);
    if (!texture) return;
    EglContext::Scope current(context_);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
  }

  void TextureDelete(uint32_t id) override {
    GLuint texture = Texture(id);
    if (!texture) return;
    EglContext::Scope current(context_);
    glDeleteTextures(1, &texture);
    textures_[id] = 0;
  }

  void SceneBegin(int width, int height, const uint8_t* rgba) override {
    if (!Open(nullptr)) return;
    EglContext::Scope current(context_);
    if (width != width_ || height != height_) {
      width_ = width;
      height_ = height;
      glBindTexture(GL_TEXTURE_2D, colourTexture_);
      glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
      glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
      glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colourTexture_, 0);
    }
    glBindTexture(GL_TEXTURE_2D, colourTexture_);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glViewport(0, 0, width, height);
  }

  void Clear(const D3DRECT& rect, const uint8_t rgba[4]) override {
    if (!ready_ || width_ == 0) return;
    const LONG x1 = std::max<LONG>(0, rect.x1), y1 = std::max<LONG>(0, rect.y1);
    const LONG x2 = std::min<LONG>(width_, rect.x2), y2 = std::min<LONG>(height_, rect.y2);
    if (x1 >= x2 || y1 >= y2) return;
    EglContext::Scope current(context_);
    glEnable(GL_SCISSOR_TEST);
    glScissor(x1, y1, x2 - x1, y2 - y1);
    glClearColor(rgba[0] / 255.0f, rgba[1] / 255.0f, rgba[2] / 255.0f, rgba[3] / 255.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
  }

  void Execute(const Direct3DProgram& program, const D3DVIEWPORT& viewport) override;

  void SceneEnd(uint8_t* rgba) override {
    if (!ready_ || width_ == 0) return;
    EglContext::Scope current(context_);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
  }

 private:
  bool Setup(std::string* why);
  GLuint Texture(uint32_t id) const { return id < textures_.size() ? textures_[id] : 0; }
  void ResetRenderStates();
  void Draw(GLenum mode);

  EglContext context_;
  bool tried_ = false;
  bool ready_ = false;
  std::string failure_;
  std::string name_ = "OpenGL";
  GLuint program_ = 0, vertexArray_ = 0, vertexBuffer_ = 0, indexBuffer_ = 0;
  GLuint framebuffer_ = 0, colourTexture_ = 0;
  GLint uTarget_ = -1, uTextured_ = -1, uFlat_ = -1, uPerspective_ = -1;
  int width_ = 0, height_ = 0;
  std::vector<GLuint> textures_{0};
  DWORD renderStates_[kD3DRenderStateCount] = {};
  std::vector<D3DTLVERTEX> processed_;
  std::vector<GLushort> indices_;
};

bool Gl3DDevice::Setup(std::string* why) {
  if (!context_.Create(why)) return false;
  name_ = "OpenGL on " + context_.Renderer();
  std::string log;
  const GLuint vertex = CompileShader(GL_VERTEX_SHADER, kVertexShader, &log);
  const GLuint fragment = vertex ? CompileShader(GL_FRAGMENT_SHADER, kFragmentShader, &log) : 0;
  if (!vertex || !fragment) {
    *why = "OpenGL shader not compiled: " + log;
    return false;
  }
  program_ = glCreateProgram();
  glAttachShader(program_, vertex);
  glAttachShader(program_, fragment);
  glLinkProgram(program_);
  glDeleteShader(vertex);
  glDeleteShader(fragment);
  GLint linked = 0;
  glGetProgramiv(program_, GL_LINK_STATUS, &linked);
  if (!linked) {
    *why = "OpenGL shader program not linked";
    return false;
  }
  uTarget_ = glGetUniformLocation(program_, "uTarget");
  uTextured_ = glGetUniformLocation(program_, "uTextured");
  uFlat_ = glGetUniformLocation(program_, "uFlat");
  uPerspective_ = glGetUniformLocation(program_, "uPerspective");
  glUseProgram(program_);
  glUniform1i(glGetUniformLocation(program_, "uTexture"), 0);

  glGenVertexArrays(1, &vertexArray_);
  glBindVertexArray(vertexArray_);
  glGenBuffers(1, &vertexBuffer_);
  glGenBuffers(1, &indexBuffer_);
  glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer_);
  const auto stride = static_cast<GLsizei>(sizeof(D3DTLVERTEX));
  glEnableVertexAttribArray(0);
  glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(offsetof(D3DTLVERTEX, sx)));
  // D3DCOLOR is ARGB in a little-endian word: bytes blue, green, red, alpha.
  glEnableVertexAttribArray(1);
  glVertexAttribPointer(1, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                        reinterpret_cast<const void*>(offsetof(D3DTLVERTEX, color)));
  glEnableVertexAttribArray(2);
  glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(offsetof(D3DTLVERTEX, tu)));

  glGenFramebuffers(1, &framebuffer_);
  glGenTextures(1, &colourTexture_);
  glBindTexture(GL_TEXTURE_2D, colourTexture_);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  // Direct3D's flat shading takes the first vertex's colour.
  glProvokingVertex(GL_FIRST_VERTEX_CONVENTION);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  ResetRenderStates();
  if (glGetError() != GL_NO_ERROR) {
    *why = "OpenGL set-up failed";
    return false;
  }
  return true;
}

// Direct3D's defaults for the states this device reads.
void Gl3DDevice::ResetRenderStates() {
  std::memset(renderStates_, 0, sizeof renderStates_);
  renderStates_[D3DRENDERSTATE_TEXTUREPERSPECTIVE] = 1;
  renderStates_[D3DRENDERSTATE_SHADEMODE] = D3DSHADE_GOURAUD;
  renderStates_[D3DRENDERSTATE_TEXTUREMAG] = D3DFILTER_NEAREST;
  renderStates_[D3DRENDERSTATE_TEXTUREMIN] = D3DFILTER_NEAREST;
  renderStates_[D3DRENDERSTATE_SRCBLEND] = D3DBLEND_ONE;
  renderStates_[D3DRENDERSTATE_DESTBLEND] = 1;
  renderStates_[D3DRENDERSTATE_TEXTUREMAPBLEND] = D3DTBLEND_MODULATEALPHA;
}

// Draws the indices gathered so far with the render states in force.
void Gl3DDevice::Draw(GLenum mode) {
  if (indices_.empty()) return;
  const DWORD* rs = renderStates_;
  const GLuint texture = Texture(rs[D3DRENDERSTATE_TEXTUREHANDLE]);
  glUniform1i(uTextured_, texture ? 1 : 0);
  glUniform1i(uFlat_, rs[D3DRENDERSTATE_SHADEMODE] == D3DSHADE_FLAT ? 1 : 0);
  glUniform1i(uPerspective_, rs[D3DRENDERSTATE_TEXTUREPERSPECTIVE] ? 1 : 0);
  if (texture) {
    glBindTexture(GL_TEXTURE_2D, texture);
    auto filter = [](DWORD d3d) { return static_cast<GLint>(d3d == D3DFILTER_LINEAR ? GL_LINEAR : GL_NEAREST); };
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter(rs[D3DRENDERSTATE_TEXTUREMAG]));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter(rs[D3DRENDERSTATE_TEXTUREMIN]));
  }
  // Stippled alpha is drawn as the blend it stands for.
  if (rs[D3DRENDERSTATE_BLENDENABLE] || rs[D3DRENDERSTATE_STIPPLEDALPHA]) {
    glEnable(GL_BLEND);
    glBlendFunc(BlendFactor(rs[D3DRENDERSTATE_SRCBLEND]), BlendFactor(rs[D3DRENDERSTATE_DESTBLEND]));
  } else {
    glDisable(GL_BLEND);
  }
  glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices_.size() * sizeof(GLushort)), indices_.data(),
               GL_STREAM_DRAW);
  glDrawElements(mode, static_cast<GLsizei>(indices_.size()), GL_UNSIGNED_SHORT, nullptr);
  indices_.clear();
}

void Gl3DDevice::Execute(const Direct3DProgram& program, const D3DVIEWPORT& /*viewport*/) {
  if (!ready_ || width_ == 0) return;
  EglContext::Scope current(context_);
  glUseProgram(program_);
  glBindVertexArray(vertexArray_);
  glUniform2f(uTarget_, static_cast<float>(width_), static_cast<float>(height_));
  processed_.assign(program.vertices.size(), D3DTLVERTEX{});
  // Process-vertices instructions may come anywhere; the vertices are
  // uploaded before the first primitive after them.
  bool uploaded = false;
  GLenum mode = GL_TRIANGLES;
  for (const Direct3DInstruction& instruction : program.instructions) {
    switch (instruction.opcode) {
      case D3DOP_PROCESSVERTICES:
        Draw(mode);
        for (const D3DPROCESSVERTICES& pv : instruction.processVertices)
          std::copy_n(program.vertices.begin() + pv.wStart, pv.dwCount, processed_.begin() + pv.wDest);
        uploaded = false;
        break;
      case D3DOP_STATERENDER:
        for (const D3DSTATE& s : instruction.states) {
          if (s.dwStateType >= kD3DRenderStateCount || renderStates_[s.dwStateType] == s.dwArg) continue;
          Draw(mode);
          renderStates_[s.dwStateType] = s.dwArg;
        }
        break;
      case D3DOP_TRIANGLE:
      case D3DOP_LINE: {
        const GLenum wanted = instruction.opcode == D3DOP_TRIANGLE ? GL_TRIANGLES : GL_LINES;
        if (wanted != mode) Draw(mode);
        mode = wanted;
        if (!uploaded) {
          Draw(mode);
          glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
          glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(processed_.size() * sizeof(D3DTLVERTEX)),
                       processed_.data(), GL_STREAM_DRAW);
          uploaded = true;
        }
        for (const D3DTRIANGLE& t : instruction.triangles) indices_.insert(indices_.end(), {t.v1, t.v2, t.v3});
        for (const D3DLINE& l : instruction.lines) indices_.insert(indices_.end(), {l.v1, l.v2});
        break;
      }
      default: break;  // light states: the vertices come lit
    }
  }
  Draw(mode);
}

}  // namespace

std::unique_ptr<Platform3DDevice> Gl3DDeviceCreate() { return std::make_unique<Gl3DDevice>(); }
