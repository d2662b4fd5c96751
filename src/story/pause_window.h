#pragma once
// The pause window: the screen darkened, a small sign in the middle, the
// master volume halved until the next key.

void pause_window();
