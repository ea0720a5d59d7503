#include "documents/codec_result.h"

namespace kestrune {

CodecFiles::CodecFiles() {
    slots.setErrorHandler([this](int fileNumber, int code) {
        errors.push_back({fileNumber, code});
    });
}

} // namespace kestrune
