#include "media/Libraries.h"

#include <cstdio>

namespace media::lib {

namespace {

FileStream& Stream(void* user) {
    return *static_cast<FileStream*>(user);
}

sf_count_t SfLength(void* user) {
    return Stream(user).Length();
}
sf_count_t SfSeek(sf_count_t offset, int whence, void* user) {
    return Stream(user).Seek(offset, whence);
}
sf_count_t SfRead(void* out, sf_count_t count, void* user) {
    return Stream(user).Read(out, count);
}
sf_count_t SfWrite(const void* in, sf_count_t count, void* user) {
    return Stream(user).Write(in, count);
}
sf_count_t SfTell(void* user) {
    return Stream(user).Tell();
}

mpg123_ssize_t MpgRead(void* user, void* out, std::size_t count) {
    return static_cast<mpg123_ssize_t>(Stream(user).Read(out, static_cast<std::int64_t>(count)));
}
off_t MpgSeek(void* user, off_t offset, int whence) {
    return static_cast<off_t>(Stream(user).Seek(offset, whence));
}

}  // namespace

SNDFILE* OpenSndfile(FileStream& stream, int mode, SF_INFO& info) {
    static SF_VIRTUAL_IO io{SfLength, SfSeek, SfRead, SfWrite, SfTell};
    return sf_open_virtual(&io, mode, &info, &stream);
}

std::string FormatName(int format) {
    SF_FORMAT_INFO info{};
    info.format = format;
    if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &info, sizeof info) != 0 || !info.name) {
        return "unknown";
    }
    return info.name;
}

void Mpg123Closer::operator()(mpg123_handle* handle) const {
    mpg123_close(handle);
    mpg123_delete(handle);
}

Mpg123 OpenMpg123(FileStream& stream, std::string& error) {
    Mpg123 handle(mpg123_new(nullptr, nullptr));
    if (!handle) {
        const std::string missing = LoadFailure();
        error = missing.empty() ? "the MP3 decoder could not be started" : missing;
        return nullptr;
    }
    mpg123_handle* mh = handle.get();
    mpg123_param(mh, MPG123_FLAGS, MPG123_QUIET | MPG123_NO_RESYNC | MPG123_GAPLESS, 0);
    if (mpg123_replace_reader_handle(mh, MpgRead, MpgSeek, nullptr) != MPG123_OK ||
        mpg123_open_handle(mh, &stream) != MPG123_OK) {
        error = mpg123_strerror(mh);
        return nullptr;
    }
    return handle;
}

}  // namespace media::lib
