// The program's GL header in the native build through the fixed-function layer
// (VOXEL_GL=fixed): the real GLEW, then the program's gl* names redirected to
// the layer's definitions in GlEntryPoints.cpp, so that voxelview and
// voxeltool draw through the layer on Mesa as they would on WebGL 2. Every
// other GL name stays GLEW's. The layer's own files include GLEW through
// GlBackend.h, which asks for no redirection.
#include_next <GL/glew.h>

#if !defined(VX_FIXEDGL_BACKEND) && !defined(VX_FIXEDGL_REDIRECTED)
#define VX_FIXEDGL_REDIRECTED

#ifdef __cplusplus
extern "C" {
#endif
void FixedGl_glEnable(GLenum cap);
void FixedGl_glDisable(GLenum cap);
void FixedGl_glEnableClientState(GLenum cap);
void FixedGl_glDisableClientState(GLenum cap);
void FixedGl_glShadeModel(GLenum mode);
void FixedGl_glMatrixMode(GLenum mode);
void FixedGl_glLoadIdentity(void);
void FixedGl_glLoadMatrixf(const GLfloat* m);
void FixedGl_glMultMatrixf(const GLfloat* m);
void FixedGl_glLightf(GLenum light, GLenum pname, GLfloat param);
void FixedGl_glLightfv(GLenum light, GLenum pname, const GLfloat* params);
void FixedGl_glFogf(GLenum pname, GLfloat param);
void FixedGl_glFogi(GLenum pname, GLint param);
void FixedGl_glFogfv(GLenum pname, const GLfloat* params);
void FixedGl_glVertexPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* ptr);
void FixedGl_glNormalPointer(GLenum type, GLsizei stride, const GLvoid* ptr);
void FixedGl_glColorPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* ptr);
void FixedGl_glTexCoordPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* ptr);
void FixedGl_glClientActiveTexture(GLenum texture);
void FixedGl_glActiveTexture(GLenum texture);
void FixedGl_glGenBuffers(GLsizei n, GLuint* buffers);
void FixedGl_glDeleteBuffersARB(GLsizei n, const GLuint* buffers);
void FixedGl_glBindBufferARB(GLenum target, GLuint buffer);
void FixedGl_glBufferDataARB(GLenum target, GLsizeiptrARB size, const void* data, GLenum usage);
void FixedGl_glBufferSubDataARB(GLenum target, GLintptrARB offset, GLsizeiptrARB size,
                                const void* data);
void* FixedGl_glMapBufferARB(GLenum target, GLenum access);
GLboolean FixedGl_glUnmapBufferARB(GLenum target);
void FixedGl_glDrawArrays(GLenum mode, GLint first, GLsizei count);
void FixedGl_glDrawElements(GLenum mode, GLsizei count, GLenum type, const GLvoid* indices);
void FixedGl_glGenTextures(GLsizei n, GLuint* textures);
void FixedGl_glBindTexture(GLenum target, GLuint texture);
void FixedGl_glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width,
                          GLsizei height, GLint border, GLenum format, GLenum type,
                          const GLvoid* pixels);
void FixedGl_glTexParameteri(GLenum target, GLenum pname, GLint param);
void FixedGl_glGetTexLevelParameteriv(GLenum target, GLint level, GLenum pname, GLint* params);
void FixedGl_glPixelStorei(GLenum pname, GLint param);
void FixedGl_glClear(GLbitfield mask);
void FixedGl_glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha);
void FixedGl_glCullFace(GLenum mode);
void FixedGl_glGetIntegerv(GLenum pname, GLint* params);
const GLubyte* FixedGl_glGetString(GLenum name);
GLenum FixedGl_glGetError(void);
GLhandleARB FixedGl_glCreateProgramObjectARB(void);
GLhandleARB FixedGl_glCreateShaderObjectARB(GLenum shaderType);
void FixedGl_glShaderSourceARB(GLhandleARB shaderObj, GLsizei count, const GLcharARB** string,
                               const GLint* length);
void FixedGl_glCompileShaderARB(GLhandleARB shaderObj);
void FixedGl_glAttachObjectARB(GLhandleARB containerObj, GLhandleARB obj);
void FixedGl_glDeleteObjectARB(GLhandleARB obj);
void FixedGl_glLinkProgramARB(GLhandleARB programObj);
void FixedGl_glUseProgramObjectARB(GLhandleARB programObj);
void FixedGl_glGetObjectParameterivARB(GLhandleARB obj, GLenum pname, GLint* params);
void FixedGl_glGetInfoLogARB(GLhandleARB obj, GLsizei maxLength, GLsizei* length,
                             GLcharARB* infoLog);
#ifdef __cplusplus
}
#endif

#undef glEnable
#define glEnable FixedGl_glEnable
#undef glDisable
#define glDisable FixedGl_glDisable
#undef glEnableClientState
#define glEnableClientState FixedGl_glEnableClientState
#undef glDisableClientState
#define glDisableClientState FixedGl_glDisableClientState
#undef glShadeModel
#define glShadeModel FixedGl_glShadeModel
#undef glMatrixMode
#define glMatrixMode FixedGl_glMatrixMode
#undef glLoadIdentity
#define glLoadIdentity FixedGl_glLoadIdentity
#undef glLoadMatrixf
#define glLoadMatrixf FixedGl_glLoadMatrixf
#undef glMultMatrixf
#define glMultMatrixf FixedGl_glMultMatrixf
#undef glLightf
#define glLightf FixedGl_glLightf
#undef glLightfv
#define glLightfv FixedGl_glLightfv
#undef glFogf
#define glFogf FixedGl_glFogf
#undef glFogi
#define glFogi FixedGl_glFogi
#undef glFogfv
#define glFogfv FixedGl_glFogfv
#undef glVertexPointer
#define glVertexPointer FixedGl_glVertexPointer
#undef glNormalPointer
#define glNormalPointer FixedGl_glNormalPointer
#undef glColorPointer
#define glColorPointer FixedGl_glColorPointer
#undef glTexCoordPointer
#define glTexCoordPointer FixedGl_glTexCoordPointer
#undef glClientActiveTexture
#define glClientActiveTexture FixedGl_glClientActiveTexture
#undef glActiveTexture
#define glActiveTexture FixedGl_glActiveTexture
#undef glGenBuffers
#define glGenBuffers FixedGl_glGenBuffers
#undef glDeleteBuffersARB
#define glDeleteBuffersARB FixedGl_glDeleteBuffersARB
#undef glBindBufferARB
#define glBindBufferARB FixedGl_glBindBufferARB
#undef glBufferDataARB
#define glBufferDataARB FixedGl_glBufferDataARB
#undef glBufferSubDataARB
#define glBufferSubDataARB FixedGl_glBufferSubDataARB
#undef glMapBufferARB
#define glMapBufferARB FixedGl_glMapBufferARB
#undef glUnmapBufferARB
#define glUnmapBufferARB FixedGl_glUnmapBufferARB
#undef glDrawArrays
#define glDrawArrays FixedGl_glDrawArrays
#undef glDrawElements
#define glDrawElements FixedGl_glDrawElements
#undef glGenTextures
#define glGenTextures FixedGl_glGenTextures
#undef glBindTexture
#define glBindTexture FixedGl_glBindTexture
#undef glTexImage2D
#define glTexImage2D FixedGl_glTexImage2D
#undef glTexParameteri
#define glTexParameteri FixedGl_glTexParameteri
#undef glGetTexLevelParameteriv
#define glGetTexLevelParameteriv FixedGl_glGetTexLevelParameteriv
#undef glPixelStorei
#define glPixelStorei FixedGl_glPixelStorei
#undef glClear
#define glClear FixedGl_glClear
#undef glClearColor
#define glClearColor FixedGl_glClearColor
#undef glCullFace
#define glCullFace FixedGl_glCullFace
#undef glGetIntegerv
#define glGetIntegerv FixedGl_glGetIntegerv
#undef glGetString
#define glGetString FixedGl_glGetString
#undef glGetError
#define glGetError FixedGl_glGetError
#undef glCreateProgramObjectARB
#define glCreateProgramObjectARB FixedGl_glCreateProgramObjectARB
#undef glCreateShaderObjectARB
#define glCreateShaderObjectARB FixedGl_glCreateShaderObjectARB
#undef glShaderSourceARB
#define glShaderSourceARB FixedGl_glShaderSourceARB
#undef glCompileShaderARB
#define glCompileShaderARB FixedGl_glCompileShaderARB
#undef glAttachObjectARB
#define glAttachObjectARB FixedGl_glAttachObjectARB
#undef glDeleteObjectARB
#define glDeleteObjectARB FixedGl_glDeleteObjectARB
#undef glLinkProgramARB
#define glLinkProgramARB FixedGl_glLinkProgramARB
#undef glUseProgramObjectARB
#define glUseProgramObjectARB FixedGl_glUseProgramObjectARB
#undef glGetObjectParameterivARB
#define glGetObjectParameterivARB FixedGl_glGetObjectParameterivARB
#undef glGetInfoLogARB
#define glGetInfoLogARB FixedGl_glGetInfoLogARB

#endif
