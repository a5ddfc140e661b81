// The next-song decision at the end of a song. Until the play order (album, shuffle,
// repeat) takes it over, the song that ended stays loaded and the player stays stopped at
// its end; Play/Restart starts it again from its beginning.
#include "Form1.h"

void TForm1::MixProssimaCanzone() {}
