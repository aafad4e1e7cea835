#pragma once

// Qt's VNC platform listens on every network interface. Restricts the process's listening
// sockets to the loopback interface, so that only this machine reaches the screen (another
// one through an SSH tunnel). False when there was none or one could not be restricted.
bool SoloEstaMaquina();
