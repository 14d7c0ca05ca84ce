#pragma once

class QWidget;

namespace Verarov::App {

// Requests the environment makes of a started program, for the benchmarks
// and the installation checks, served once the window is shown:
//   VERAROV_QUIT_WHEN_SHOWN=1  prints "shown <steady clock, ns>" as the
//     event loop takes its first turn, then ends the program;
//   VERAROV_KEY_WHEN_SHOWN=<field>:<text> (liste_fr:a)  queues the key
//     presses of text for that lookup field of window behind the events
//     already waiting, as typing would, prints "key <ns>" from then until
//     they are handled and painted, then ends the program.
// Without them, nothing is done.
void serveShownRequests(QWidget *window);

} // namespace Verarov::App
