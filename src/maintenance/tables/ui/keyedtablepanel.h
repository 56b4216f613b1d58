#pragma once
#include "maintenance/tables/ui/tablepanel.h"

#include <functional>
#include <optional>

class Database;
class Messenger;

// A table panel over a keyed table service (the company and product tables):
// "&Pesquisar" finds a record through a chooser, "E&xcluir " hands the
// current key to the service, and an edit remembers the key it started on.
template <typename Key> class KeyedTablePanel : public TablePanel
{
public:
    using Chooser = std::function<std::optional<Key>()>;
    struct Service
    {
        int (*rowOf)(const Database &, const Key &);
        bool (*remove)(Database &, Messenger &, const Key &);
    };

    // The record of the grid's current row, if any.
    virtual std::optional<Key> currentKey() const = 0;

protected:
    KeyedTablePanel(MaintenanceContext &context, const Layout &layout, Service service, QWidget *parent)
        : TablePanel(context, layout, parent),
          m_service(service)
    { }

    bool removeCurrent() override
    {
        const std::optional<Key> key = currentKey();
        return key && m_service.remove(m_ctx.db, m_ctx.messenger, *key);
    }
    std::optional<int> searchRow() override
    {
        const std::optional<Key> chosen = m_chooser ? m_chooser() : std::nullopt;
        if (!chosen)
            return std::nullopt;
        return m_service.rowOf(m_ctx.db, *chosen);
    }
    // The row of a stored record, to reopen the list on.
    int rowOf(const Key &key) const { return m_service.rowOf(m_ctx.db, key); }

    Chooser m_chooser; // how "&Pesquisar" picks a record
    std::optional<Key> m_edited; // the record being edited; none on an inclusion

private:
    Service m_service;
};
