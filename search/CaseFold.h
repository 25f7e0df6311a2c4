#pragma once
// Case folding of Unicode text for the search: what the search compares when case is ignored.
#include <string>
#include <string_view>

namespace qel {

// The folded (small) form of a character: simple case folding for Latin, Greek, Cyrillic,
// Armenian, Georgian, Glagolitic, Coptic, the fullwidth Latin letters, Roman numerals and
// circled letters. Folding never changes the number of characters: "ß" stays, and so does
// the dotless "ı"; "İ" folds to "i", final sigma to sigma. Other characters are returned as they are.
char32_t FoldCase(char32_t c);

// Appends the folded form of UTF-8 text. A byte that starts no valid sequence is copied as it is.
void AppendFolded(std::string_view utf8, std::string& out);

} // namespace qel
