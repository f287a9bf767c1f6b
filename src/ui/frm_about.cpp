#include "ui/frm_about.h"

#include "quorvel_version.h"

namespace ui {
namespace {

using A = frm_about;
// clang-format off
constexpr ControlRow kRows[] = {
  // id            kind         frame           text  left   top  width height tab  bold  centred
  {A::frame_about, Kind::Frame, 0,              L"About:",                                  120,  120, 5775, 1455,  0},
  {A::Label1,      Kind::Label, A::frame_about, L"Quorvel version " QUORVEL_VERSION_WIDE, 1200,  360, 3615,  255,  1, true},
  {A::Label2,      Kind::Label, A::frame_about,
   L"Send your comments and ideas about Quorvel to quorvel@example.org",                               1080,  720, 3855,  495,  2, false, true},
  {A::Frame1,      Kind::Frame, 0,              L"Information",                              120, 1680, 5775, 6015,  3},
  {A::Label3,      Kind::Label, A::Frame1,
   L"The Quorvel was designed to allow players to easily use more than 5 characters on a Freelancer server "
   L"by using more than one FL ID, NOT for a way for banned players to come back. ",                         120,  360, 5535,  615,  4},
  {A::Label4,      Kind::Label, A::Frame1,
   L"The Quorvel will only save and switch through currently installed IDs.     "
   L"It will NOT generate a brand new Freelancer MP ID. ",                                                   120, 1200, 5535,  495,  5},
  {A::Label5,      Kind::Label, A::Frame1,
   L"The Quorvel works by storing currently installed FLIDs, then allowing you to switch between them at a "
   L"click of a button. ",                                                                                   120, 1800, 5535,  495,  6},
  {A::Label8,      Kind::Label, A::Frame1,
   L"Using the \"Clear installed FL ID\" button will delete the currently installed ID from your registery, "
   L"if you then launch Freelancer and click \"Multiplayer\" > \"Internet\"(or lan) Freelancer will then "
   L"gerenerate an ID.",                                                                                     120, 2400, 5415,  615,  9},
  {A::Label6,      Kind::Label, A::Frame1,
   L"Freelancer will generate your FL MD ID using a Windows code, so if you clear the FL ID Freelancer "
   L"generated and then run Freelancer again, it will generate the same ID.",                               120, 3240, 5535,  855,  7},
  {A::Label7,      Kind::Label, A::Frame1,
   L"The only way to get more than one ID is to run FL and Quorvel on another Windows install, then save "
   L"the ID Freelancer generates.",                                                                          120, 4080, 5415,  495,  8},
  {A::Label9,      Kind::Label, A::Frame1,
   L"Quorvel can also be used to launch FL and have it scan MP servers by direct IP. To do this add a server "
   L"ip(s) to the box next to the \"Launch FL\" button, then click \"Launch FL\". Once Freelancer is running, "
   L"click \"Multiplayer\" then click \"Lan\", the server's ip(s) you entered will now show in the server "
   L"list. This is usefull if the global server is down.",                                                  120, 4800, 5415, 1095, 10},
};
// clang-format on

}  // namespace

const WindowDesign frm_about::kDesign{L"Quorvel.frm_about", L"About", 6015, 7815, false, kRows};

frm_about::frm_about() : Window(kDesign) {}

}  // namespace ui
