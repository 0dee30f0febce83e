#pragma once
#include <QString>

// The folder of the program's own files: Conexoes.New, Banco.new and the Script folder. It is the
// directory of the executable when that is a folder of the program's own (a build or a copied
// folder) where it may write; otherwise, as for a program installed in a system folder (/usr,
// /usr/local, /opt, /bin, /sbin, /lib..., /snap, /etc, /boot, /var/lib, links followed), also when
// run as root, the user's data folder "$XDG_DATA_HOME/fbadmin" (by default
// ~/.local/share/fbadmin), created when missing. The file names and formats are the same in both
// places.
QString applicationDirectory();               // with a trailing '/'
QString applicationFile(const QString& name); // applicationDirectory() + name

// The choice above for an executable kept in executableDir (without a trailing '/').
QString filesDirectoryFor(const QString& executableDir);

// Stand-ins for tests. setApplicationDirectory replaces the result outright;
// setExecutableDirectory replaces only the executable's directory, so the choice still applies.
// Empty: back to the real one.
void setApplicationDirectory(const QString& dir);
void setExecutableDirectory(const QString& dir);
