#include "Resample.h"

#include "Error.h"

namespace ie {

std::string_view resampleFilterName(int) {
    return "ERROR";
}
int resampleFilterFromName(std::string_view) {
    return -1;
}
Bitmap resample(const Bitmap&, int, int, ResampleFilter) {
    throw Error("not implemented");
}
void resampleInto(const Bitmap&, double, double, double, double, Bitmap&, ResampleFilter) {
    throw Error("not implemented");
}

} // namespace ie
