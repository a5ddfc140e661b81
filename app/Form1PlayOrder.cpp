// Navigation: Next and Previous Song, Next and Previous Disc, as the session decides them.
#include "Form1.h"

void TForm1::fwdbtnClick() { Session.NextSong(); }

void TForm1::rewbtnClick() { Session.PreviousSong(); }

void TForm1::btnfwd2Click() { Session.GoToDisc(+1); }

void TForm1::btnrew2Click() { Session.GoToDisc(-1); }
