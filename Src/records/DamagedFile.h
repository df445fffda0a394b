// Record files that could not be read whole are copied aside before they
// are first written over, so that nothing the player had is lost.
#pragma once

// Copies the file to "<name>.damaged", or, when that exists already, to
// "<name>.damaged.2", ".3" and so on: an earlier copy is never replaced.
// Says in the error log which file was kept where; false (also said) when
// no copy could be made, and then the caller must not write over the file.
// A file that is no longer there needs no copy.
bool keepDamagedFile(const char* fileName);
