#pragma once
// Temporary files that an interrupt (SIGINT, SIGTERM, or SIGHUP from a closed
// terminal or a dropped ssh session) must not leave behind:
// the handler removes every registered one with async-signal-safe calls and
// then lets the signal end the program as it would have. A handler the
// program installed itself, or an ignored signal, is left alone.
namespace velmora {

// Returns the entry to pass to forgetOnInterrupt, or -1 when all entries are
// taken (the file is then only cleaned by the next save's sweep).
int removeOnInterrupt(const char* path);
void forgetOnInterrupt(int slot);

}  // namespace velmora
