#pragma once
// Quorvel's command line, which only its desktop shortcuts use: `/play "<InstallKey>"` installs the
// saved ID with that key and starts the game. Arguments are split and quoted by the rules Windows
// programs share (those of CommandLineToArgvW), so any key a shortcut holds comes back as it was.
#include <string>
#include <string_view>
#include <vector>

namespace core {

// The arguments of a command line that holds them only (the program's name already taken off).
std::vector<std::wstring> SplitArguments(std::wstring_view command_line);

// One argument as a command line writes it: in quotes, with a quote inside, and the backslashes that
// stand before a quote, escaped so that SplitArguments gives it back unchanged.
std::wstring QuoteArgument(std::wstring_view argument);

struct Command {
  enum Kind { kNone, kPlay, kUnknown };  // no arguments: the windows; or /play <key>; or anything else
  Kind kind = kNone;
  std::wstring key;  // kPlay's InstallKey
};
Command ParseCommand(std::wstring_view command_line);

// The arguments a shortcut gives to play the saved ID with this InstallKey: /play "<key>".
std::wstring PlayArguments(std::wstring_view key);

// The file name, without ".lnk", of the desktop shortcut that plays saved ID `number`: "Freelancer - "
// and the first line of its description, or "Freelancer - ID <number>" when that line is empty. What a
// file name cannot hold becomes "_"; blanks at either end and dots at the end, which Windows would drop
// from the name, are dropped; a long line is cut to 80 characters.
std::wstring ShortcutName(std::wstring_view description, int number);

}  // namespace core
