// GL textures. A Texture2D owns one GL texture name for its whole life; a
// FileTexture2D fills it once from a PNG file with load(). Textures are
// created with new, held only through boost::shared_ptr and never copied;
// they need a current GL context from construction to destruction.
#pragma once

#include <GL/gl.h>

#include <string>

class Texture2D {
public:
    Texture2D();           // generates the GL name
    virtual ~Texture2D();  // deletes the GL name, loaded or not
    virtual void bind() = 0;
    virtual void unbind();  // does nothing here
    virtual void load() = 0;

    GLuint id;

    Texture2D(const Texture2D&) = delete;
    Texture2D& operator=(const Texture2D&) = delete;
};

class FileTexture2D : public Texture2D {
public:
    // Copies the path; does not open the file.
    explicit FileTexture2D(const char* fileName);
    ~FileTexture2D() override;

    // Enables GL_TEXTURE_2D and binds this texture.
    void bind() override;
    // Disables GL_TEXTURE_2D; the binding stays.
    void unbind() override;
    // Decodes the file and uploads it at its own size (level 0, linear
    // filters, clamped to the edge). A file that cannot be loaded (missing,
    // not a PNG, damaged, wider or higher than GL_MAX_TEXTURE_SIZE, or more
    // than 256 MiB of pixels) is reported in one "Error" box and leaves the
    // texture without an image, nothing enabled or bound. A pending last
    // error code is reported by the checks "FileTexture2D::load1" (after
    // the parameters) and "FileTexture2D::load2" (after the upload). Returns
    // with GL_TEXTURE_2D enabled and this texture bound on success.
    void load() override;

    std::string fileName;  // relative to the working directory
};
