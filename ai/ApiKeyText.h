// The rules for an API key's text: trimmed of blanks and line breaks, no control characters.
#pragma once

#include <string>

namespace vst::ai {

/// The key without surrounding blanks, tabs and line breaks (a pasted key often ends in one).
std::string trimmedKey(const std::string& key);

/// True when the key, trimmed, still holds a control character: it cannot go into a header.
bool keyHasControlCharacters(const std::string& key);

} // namespace vst::ai
