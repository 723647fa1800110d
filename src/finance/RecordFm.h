#pragma once

#include "finance/core/RecordQueries.h"
#include "store/LoginContext.h"
#include "ui/RecordQueryWindow.h"

// One record list (rent, income, sale, purchase, expense or refund
// records) in the record-query pattern: its filters, first statement,
// columns and footer come from its configuration.
class RecordFm : public RecordQueryWindow {
    Q_OBJECT
public:
    RecordKind kind() const { return m_kind; }
    const RecordQueryConfig& config() const { return recordQueryConfig(m_kind); }
    // The text box filtering on the column, or nullptr.
    QLineEdit* textBoxFor(const QString& column) const;

protected:
    RecordFm(RecordKind kind, const LoginContext& login, QWidget* parent);

    Result<std::optional<ListQuery>> searchQuery(const Input& input) const override;
    void exportList() override;
    void printList() override;

private:
    RecordKind m_kind;
    const LoginContext& m_login;
};
