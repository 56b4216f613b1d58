#pragma once
#include <QIcon>

// The toolbar pictures of the shell, drawn rather than shipped as files.
namespace ShellIcons {
enum Icon { None, Database, Send, Update, Certifier, Folder, Users, Key, Relogin, Exit, Help };
QIcon icon(Icon which);
}
