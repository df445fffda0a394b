// The help and credits pages: a text file shown page by page under the logo
// over a slowly drifting background.
#pragma once

// Shows the credits (true) or the help pages (false) until they are left.
// A file that cannot be read is logged and nothing is shown.
void showTextPages(bool credits);

// The page shown and the number of pages while the pages run (tests).
int textPageIndex();
int textPageCount();
