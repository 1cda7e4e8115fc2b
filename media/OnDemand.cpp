// libsndfile and libmpg123, loaded the first time any of their functions is
// called rather than when the program starts.
//
// Most runs of the window never read an audio file, and the two libraries
// bring their codec libraries (FLAC, Vorbis, Opus, LAME) with them: loading
// them all at start-up costs a tenth of the time to the first paint. So the
// program is not linked against them. Each function the program uses is
// defined here, with the library's own declaration, and passes the call on
// to the library, which is opened on first use.
//
// When a library cannot be opened, each function fails the way the library
// itself reports a failure (a null handle, an error code, no frames), and
// the error functions say which library is missing; callers already handle
// those failures for unreadable files.

#include <dlfcn.h>
#include <mpg123.h>
#include <sndfile.h>

#include <mutex>
#include <string>

#include "media/Libraries.h"

namespace media::lib {

namespace {

struct Library {
    explicit Library(const char* name) : file(name) {}
    const char* file;
    void* handle = nullptr;
    std::string error;
    std::once_flag opened;

    void* Open() {
        std::call_once(opened, [this] {
            handle = ::dlopen(file, RTLD_NOW | RTLD_LOCAL);
            if (handle == nullptr) {
                const char* why = ::dlerror();
                error = std::string("the audio library ") + file + " could not be loaded" +
                        (why != nullptr ? std::string(": ") + why : std::string());
            }
        });
        return handle;
    }
};

Library& Sndfile() {
    static Library library{"libsndfile.so.1"};
    return library;
}

Library& Mpg123Library() {
    static Library library{"libmpg123.so.0"};
    return library;
}

// The library's function `name`, of the type of `declared`; null when the
// library or the function is missing.
template <typename F>
F* Find(Library& library, F* /*declared*/, const char* name) {
    void* handle = library.Open();
    return handle != nullptr ? reinterpret_cast<F*>(::dlsym(handle, name)) : nullptr;
}

}  // namespace

std::string LoadFailure() {
    for (Library* library : {&Sndfile(), &Mpg123Library()}) {
        if (library->Open() == nullptr) {
            return library->error;
        }
    }
    return {};
}

}  // namespace media::lib

// The header may rename a function (libmpg123 does for large-file builds):
// the name looked up is the one the declaration ends up with.
#define CW_NAME(fn) CW_NAME_(fn)
#define CW_NAME_(fn) #fn

// Calls the library's `fn` with the arguments, or yields `failed` when it is
// not there. `&fn` names this very definition, so a definition whose
// parameters differ from the library's declaration does not compile.
#define CW_CALL(library, fn, failed, ...)                                        \
    do {                                                                         \
        static auto* const real = media::lib::Find(library(), &fn, CW_NAME(fn)); \
        return real != nullptr ? real(__VA_ARGS__) : failed;                     \
    } while (false)

#define CW_SF(fn, failed, ...) CW_CALL(media::lib::Sndfile, fn, failed, __VA_ARGS__)
#define CW_MPG(fn, failed, ...) CW_CALL(media::lib::Mpg123Library, fn, failed, __VA_ARGS__)

namespace {
constexpr int kMpgFailed = MPG123_ERR;
}

extern "C" {

// libsndfile

SNDFILE* sf_open(const char* path, int mode, SF_INFO* info) {
    CW_SF(sf_open, nullptr, path, mode, info);
}
SNDFILE* sf_open_virtual(SF_VIRTUAL_IO* io, int mode, SF_INFO* info, void* user) {
    CW_SF(sf_open_virtual, nullptr, io, mode, info, user);
}
int sf_close(SNDFILE* file) {
    CW_SF(sf_close, SF_ERR_SYSTEM, file);
}
const char* sf_strerror(SNDFILE* file) {
    CW_SF(sf_strerror, media::lib::Sndfile().error.c_str(), file);
}
int sf_error(SNDFILE* file) {
    CW_SF(sf_error, SF_ERR_SYSTEM, file);
}
int sf_command(SNDFILE* file, int command, void* data, int size) {
    CW_SF(sf_command, -1, file, command, data, size);
}
int sf_format_check(const SF_INFO* info) {
    CW_SF(sf_format_check, 0, info);
}
sf_count_t sf_seek(SNDFILE* file, sf_count_t frames, int whence) {
    CW_SF(sf_seek, -1, file, frames, whence);
}
sf_count_t sf_readf_short(SNDFILE* file, short* out, sf_count_t frames) {
    CW_SF(sf_readf_short, 0, file, out, frames);
}
sf_count_t sf_readf_int(SNDFILE* file, int* out, sf_count_t frames) {
    CW_SF(sf_readf_int, 0, file, out, frames);
}
sf_count_t sf_readf_float(SNDFILE* file, float* out, sf_count_t frames) {
    CW_SF(sf_readf_float, 0, file, out, frames);
}
sf_count_t sf_readf_double(SNDFILE* file, double* out, sf_count_t frames) {
    CW_SF(sf_readf_double, 0, file, out, frames);
}
sf_count_t sf_writef_short(SNDFILE* file, const short* in, sf_count_t frames) {
    CW_SF(sf_writef_short, 0, file, in, frames);
}
sf_count_t sf_writef_int(SNDFILE* file, const int* in, sf_count_t frames) {
    CW_SF(sf_writef_int, 0, file, in, frames);
}
sf_count_t sf_writef_float(SNDFILE* file, const float* in, sf_count_t frames) {
    CW_SF(sf_writef_float, 0, file, in, frames);
}
void sf_write_sync(SNDFILE* file) {
    static auto* const real =
        media::lib::Find(media::lib::Sndfile(), &sf_write_sync, CW_NAME(sf_write_sync));
    if (real != nullptr) {
        real(file);
    }
}
SF_CHUNK_ITERATOR* sf_get_chunk_iterator(SNDFILE* file, const SF_CHUNK_INFO* info) {
    CW_SF(sf_get_chunk_iterator, nullptr, file, info);
}
int sf_get_chunk_size(const SF_CHUNK_ITERATOR* it, SF_CHUNK_INFO* info) {
    CW_SF(sf_get_chunk_size, SF_ERR_UNSUPPORTED_ENCODING, it, info);
}

// libmpg123

mpg123_handle* mpg123_new(const char* decoder, int* error) {
    CW_MPG(mpg123_new, nullptr, decoder, error);
}
void mpg123_delete(mpg123_handle* mh) {
    static auto* const real =
        media::lib::Find(media::lib::Mpg123Library(), &mpg123_delete, CW_NAME(mpg123_delete));
    if (real != nullptr) {
        real(mh);
    }
}
int mpg123_close(mpg123_handle* mh) {
    CW_MPG(mpg123_close, kMpgFailed, mh);
}
const char* mpg123_strerror(mpg123_handle* mh) {
    CW_MPG(mpg123_strerror, media::lib::Mpg123Library().error.c_str(), mh);
}
const char* mpg123_plain_strerror(int code) {
    CW_MPG(mpg123_plain_strerror, media::lib::Mpg123Library().error.c_str(), code);
}
int mpg123_errcode(mpg123_handle* mh) {
    CW_MPG(mpg123_errcode, kMpgFailed, mh);
}
int mpg123_param(mpg123_handle* mh, int type, long value, double fvalue) {
    CW_MPG(mpg123_param, kMpgFailed, mh, type, value, fvalue);
}
int mpg123_format_none(mpg123_handle* mh) {
    CW_MPG(mpg123_format_none, kMpgFailed, mh);
}
int mpg123_format(mpg123_handle* mh, long rate, int channels, int encodings) {
    CW_MPG(mpg123_format, kMpgFailed, mh, rate, channels, encodings);
}
int mpg123_getformat(mpg123_handle* mh, long* rate, int* channels, int* encoding) {
    CW_MPG(mpg123_getformat, kMpgFailed, mh, rate, channels, encoding);
}
int mpg123_replace_reader_handle(mpg123_handle* mh, mpg123_ssize_t (*r_read)(void*, void*, size_t),
                                 off_t (*r_lseek)(void*, off_t, int), void (*cleanup)(void*)) {
    CW_MPG(mpg123_replace_reader_handle, kMpgFailed, mh, r_read, r_lseek, cleanup);
}
int mpg123_open_handle(mpg123_handle* mh, void* iohandle) {
    CW_MPG(mpg123_open_handle, kMpgFailed, mh, iohandle);
}
int mpg123_read(mpg123_handle* mh, void* out, size_t size, size_t* done) {
    CW_MPG(mpg123_read, kMpgFailed, mh, out, size, done);
}
int mpg123_framebyframe_next(mpg123_handle* mh) {
    CW_MPG(mpg123_framebyframe_next, kMpgFailed, mh);
}
int mpg123_framedata(mpg123_handle* mh, unsigned long* header, unsigned char** bodydata,
                     size_t* bodybytes) {
    CW_MPG(mpg123_framedata, kMpgFailed, mh, header, bodydata, bodybytes);
}
int mpg123_info(mpg123_handle* mh, struct mpg123_frameinfo* mi) {
    CW_MPG(mpg123_info, kMpgFailed, mh, mi);
}
int mpg123_spf(mpg123_handle* mh) {
    CW_MPG(mpg123_spf, kMpgFailed, mh);
}
off_t mpg123_length(mpg123_handle* mh) {
    CW_MPG(mpg123_length, kMpgFailed, mh);
}
off_t mpg123_framepos(mpg123_handle* mh) {
    CW_MPG(mpg123_framepos, kMpgFailed, mh);
}
off_t mpg123_tell(mpg123_handle* mh) {
    CW_MPG(mpg123_tell, kMpgFailed, mh);
}
off_t mpg123_seek(mpg123_handle* mh, off_t offset, int whence) {
    CW_MPG(mpg123_seek, kMpgFailed, mh, offset, whence);
}
int mpg123_scan(mpg123_handle* mh) {
    CW_MPG(mpg123_scan, kMpgFailed, mh);
}

}  // extern "C"
