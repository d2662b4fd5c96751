#pragma once
// The fatal error's message box: installed once SDL is up, it shows the text
// of report_fatal in a window when a real display is present.
void install_fatal_message_box();
