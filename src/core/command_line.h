#pragma once
// Quorvel's command line, which only its desktop shortcuts use: `/play "<InstallKey>" <digest>` installs
// the saved ID with that key whose three values give that digest (core/id_digest.h) and starts the game;
// a shortcut made before the digest, `/play "<InstallKey>"`, still names its ID by the key alone.
// Arguments are split and quoted by the rules of the shell's CommandLineToArgvW, so any key a shortcut
// holds comes back as it was.
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
  enum Kind { kNone, kPlay, kUnknown };  // no arguments: the windows; or /play <key> [<digest>]; or anything else
  Kind kind = kNone;
  std::wstring key;     // kPlay's InstallKey
  std::wstring digest;  // kPlay's digest in lower case; empty for a shortcut that names its ID by the key alone
};
Command ParseCommand(std::wstring_view command_line);

// The arguments a shortcut gives to play the saved ID with this InstallKey and digest:
// /play "<key>" <digest>.
std::wstring PlayArguments(std::wstring_view key, std::wstring_view digest);

// What a shortcut's name is made from: a saved ID's description, InstallKey and digest.
struct ShortcutId {
  std::wstring description, install_key, digest;
};

// The file names, without ".lnk", of the desktop shortcuts of these saved IDs, one per ID, in order.
// A name is "Freelancer - " and the first line of the description; where that line is empty, or another
// ID (with other values) would get the same name, it names the ID itself: "Freelancer - ID <key start>"
// or "Freelancer - <line> (<key start>)", the key start being the InstallKey's first 8 characters; and
// where that still meets another ID's name (the same key start), the digest's first 8 hex digits follow
// the key start. Nothing in a name depends on the ID's number, so a delete's renumbering changes none.
// Names are compared as Windows compares file names, in any letter case. What a file name cannot hold
// becomes "_"; blanks at either end and dots at the end, which Windows would drop, are dropped; a long
// line is cut to 80 characters.
std::vector<std::wstring> ShortcutNames(const std::vector<ShortcutId>& ids);

}  // namespace core
