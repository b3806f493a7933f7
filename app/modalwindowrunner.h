#pragma once
// Runs an information window application-modally until one of its buttons ends the run, and
// answers the run's code (1 for the window's own button; a close box or Esc ends it like that
// button would). The window is hidden afterwards. Tests answer without showing anything.
// UI thread only.
class QDialog;

namespace salvyn {

class ModalWindowRunner {
public:
    virtual ~ModalWindowRunner() = default;
    virtual int runModal(QDialog& window) = 0;
};

class ExecModalWindowRunner final : public ModalWindowRunner {
public:
    int runModal(QDialog& window) override;
};

} // namespace salvyn
