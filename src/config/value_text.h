// A value's bytes as the text a person sees and edits, and that text back as bytes,
// for every door: the window, the terminal view and quenbyconf's JSON.
//
// The file holds bytes in whatever code page it was written in. A value that is
// valid UTF-8 is shown as that text; any other value is shown as Latin-1, whole,
// each byte the character of its code, so every byte string has a text and no
// byte is lost. A text goes back in the form its value was shown in: a value shown
// as Latin-1 as Latin-1 when every character fits, otherwise, like a value shown as
// UTF-8, as UTF-8. So a value shown and given back unchanged keeps its bytes, and
// an edit keeps the bytes of the characters it did not touch.
//
// Texts are passed as UTF-8 in std::string.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qe {

enum class TextForm { Utf8, Latin1 };

// Utf8 when bytes are valid UTF-8 (no overlong form, no surrogate, nothing above
// U+10FFFF), Latin1 otherwise.
TextForm formOf(std::string_view bytes);

// The text bytes are shown as.
std::string textOf(std::string_view bytes);

// The bytes of text for a value shown in form. text must be valid UTF-8.
std::string bytesOf(std::string_view text, TextForm form);

// text as Latin-1, one byte a character; nullopt when a character is above U+00FF
// or text is not valid UTF-8.
std::optional<std::string> latin1Of(std::string_view text);

} // namespace qe
