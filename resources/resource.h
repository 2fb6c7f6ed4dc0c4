#pragma once
// Resource ids of the program.

#define IDR_MAINFRAME 128
