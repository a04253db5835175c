#pragma once
// The window pointer codes. The numbers are the ones error reports and the windows' documented
// behaviour use; code names them and never writes the numbers.

enum MousePointer { PointerDefault = 0, PointerBusy = 11, PointerCustom = 99 };
