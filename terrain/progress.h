// How far a long operation has come. The model reports; whoever installed a
// listener shows it (the editor: a bar in the window and a line on a
// terminal). Model tests and batch runs install none, and then a report
// costs a test and a return.
//
// An operation is opened by a ProgressScope (runOperation opens one for
// every command, load, save and export); its loops call reportProgress with
// the share of their own work done. A ProgressSpan maps the reports of one
// step onto its part of the whole, so that the fraction shown runs once
// from 0 to 1 over all the steps of a command.
#pragma once

enum class ProgressPhase { kBegin, kUpdate, kEnd };

struct ProgressReport {
    const char* operation; // the outermost operation's name
    float fraction;        // 0..1 of the whole operation, never decreasing
    ProgressPhase phase;
};

// The listener runs on the thread that opened the operation, in the middle
// of it: it must not touch the terrain, and it must not throw.
using ProgressListener = void (*)(const ProgressReport& report) noexcept;

// Installs the one listener (nullptr: nobody listens).
void setProgressListener(ProgressListener listener);

// Opens an operation on this thread; scopes inside an open one join it.
class ProgressScope {
public:
    explicit ProgressScope(const char* operation);
    ~ProgressScope();
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;
};

// Reports from here to the end of the span fill [from, to] of the span
// around it (the whole operation at the outermost level).
class ProgressSpan {
public:
    ProgressSpan(float from, float to);
    ~ProgressSpan();
    ProgressSpan(const ProgressSpan&) = delete;
    ProgressSpan& operator=(const ProgressSpan&) = delete;

private:
    float outerFrom_, outerTo_;
};

// `done` (0..1) of the current span is complete. Ignored outside an
// operation and on any thread but the one that opened it.
void reportProgress(float done);
