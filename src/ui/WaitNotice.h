#pragma once

// What the clerk sees while the program waits on the database: "请稍候"
// with a cancel button while another workstation's booking holds the file
// (the window keeps painting), and a short line while a lost connection is
// opened again. Installed once at start-up for the program's windows.
namespace WaitNotice {

void install();

} // namespace WaitNotice
