#pragma once
// How the runner ended, for its wrapper: a record written as the program's very last act. A
// program ended from outside (its Wine server killed, a crash) leaves none, whatever exit
// status Wine reports for it, so the wrapper never mistakes such an end for a result.
namespace tavrin_host {

// The environment variable naming the record's file (a Windows path); unset: no record.
extern const wchar_t kOutcomeVariable[];

// Writes "exit N" and a line break to the record, when one is asked for.
void RecordOutcome(int exitStatus);

} // namespace tavrin_host
