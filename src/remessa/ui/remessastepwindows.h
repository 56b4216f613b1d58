#pragma once

// Installs the transfer and result step windows in the control window:
// "Transfere Arquivo para o Quelora..." opens the transfer mode choice,
// "Recebe Resultado do Quelora..." the result mode choice.
namespace RemessaStepWindows {
void install();
}
