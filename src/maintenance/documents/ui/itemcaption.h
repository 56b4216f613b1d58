#pragma once
#include "register/statusevents.h"

// One line naming a certificate item from its key columns, for the heading
// of the windows that work on one item ("Certificado OCT / 123 · Produto ...").
namespace ItemCaption {

QString describe(const StatusEvents::ItemKey &key);

}
