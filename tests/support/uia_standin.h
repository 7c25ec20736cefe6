// What the stand-in for the system's UI Automation client (uia_standin.dll) asks the foreground
// window: a window that answers this registered message offers a text pattern whose selection
// is as it answers. Windows that do not know the message answer 0: no text pattern.
#pragma once

constexpr char kStandInSelectionMessage[] = "TavoletStandInSelection";
constexpr long kNoTextPattern = 0, kNothingSelected = 1, kTextSelected = 2,
               kSelectionNeverAnswered = 3;  // the question hangs for 10 s
