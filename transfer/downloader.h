// Fetches one URL over HTTP into a file or into a text, moving the
// current-file bar and keeping the window alive between chunks.
#pragma once

#include <string>

// url is replaced by its canonical form. File mode writes the body to the
// file target (its missing folders are created); string mode puts the body
// into target. True when the whole body was read and stored.
bool Download(std::string& url, std::string& target, bool toFile, bool showProgress);

// Dispatches at most one pending window message of this thread; never waits.
void PumpOneMessage();
