#include "Metadata.h"

namespace ie::io {

ExifSummary readExifSummary(const Metadata&) {
    return {};
}
void resetExifOrientation(Metadata&) { }
Metadata readMetadataFromFile(const std::string&) {
    return {};
}
bool writeMetadataToFile(const std::string&, const Metadata&) {
    return false;
}

} // namespace ie::io
