// Whole-program helpers shared by the Windows end-to-end tests: the real
// tool driven from outside, and the console programs built beside it.
#pragma once

#include <string>
#include <vector>

struct ConsoleRun {
  unsigned long exitCode = 0xFFFFFFFF;
  std::string out;  // standard output and error, line ends folded to "\n"
};

// Runs exeName (built beside the test program) with the arguments, already
// quoted as a command line wants them.
ConsoleRun RunConsoleProgram(const std::string& exeName, const std::string& arguments);

// A small, well-formed PCM sound file: 16 kHz, mono, 16-bit, 0.1 s.
std::vector<unsigned char> PcmWaveFile();

// The folders card and source made, source holding bark1.wav and bark2.wav
// (PcmWaveFile); then the real tool started in card: playback on, sensor
// playback by hour (the dog for every hour), timed playback off, delay 10 s;
// the .wav files of source copied into the dog folder; Generate. True when every step went
// through and the tool closed with 0.
bool PrepareCardWithTool(const std::string& card, const std::string& source);
