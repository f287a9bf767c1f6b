#pragma once
// The eight example server lists and the arguments each gives: checked against BuildServerArgs here
// and against the command line the game receives in the launcher test.
namespace testref {

struct ServerExample {
  const wchar_t* typed;
  const wchar_t* args;
};

inline constexpr ServerExample kServerExamples[] = {
    {L"1.2.3.4|5.6.7.8", L" -s1.2.3.4:2302 -s5.6.7.8:2302"},
    {L"1.2.3.4:2302|5.6.7.8", L" -s1.2.3.4:2302 -s5.6.7.8:2302"},
    {L"1.2.3.4", L" -s1.2.3.4:2302"},
    {L"", L" -s:2302"},
    {L"1.2.3.4|", L" -s1.2.3.4:2302 -s:2302"},
    {L"1.2.3.4:2303", L" -s1.2.3.4:2303:2302"},
    {L"1.2.3.4:23021", L" -s1.2.3.41:2302"},
    {L"1.2.3.4 | 5.6.7.8", L" -s1.2.3.4 :2302 -s 5.6.7.8:2302"},
};

}  // namespace testref
