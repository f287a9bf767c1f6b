#pragma once
// A saved ID's description: one line of text in which "|" stands for a line break.
#include <string>
#include <string_view>

namespace core {

// The form in which a description is stored: every "[" becomes "(" and every "]" becomes ")", so
// that no saved-ID section ever holds a "[" and deleting a section can cut at the next "[".
std::wstring CleanDescription(std::wstring_view typed);

// The text for the description label: the first four "|" become line breaks (CR LF), so at most
// five lines result; the label's height shows four. Later "|" stay as they are.
std::wstring FormatDescription(std::wstring_view stored);

}  // namespace core
