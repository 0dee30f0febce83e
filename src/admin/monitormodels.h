#pragma once
#include "admin/monitorsnapshot.h"
#include <QAbstractTableModel>
#include <QStringList>

// The monitor's three grids over one snapshot: attachments, and the transactions and running
// statements of the attachment chosen. Rows are found again by the server's numbers after a
// refresh. The program's own attachments and the transaction that holds the oldest-active marker
// back are drawn in bold on their own colour.
class MonitorTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit MonitorTableModel(QStringList headers, QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // The server's number of the row (attachment, transaction or statement), -1 when none.
    qint64 idAt(int row) const;
    int rowOf(qint64 id) const;

protected:
    virtual int rows() const = 0;
    virtual qint64 rowId(int row) const = 0;
    virtual QVariant cell(int row, int column) const = 0;
    virtual bool numeric(int column) const { return false; }
    virtual bool marked(int row) const { return false; }

private:
    QStringList m_headers;
};

class AttachmentsModel : public MonitorTableModel {
    Q_OBJECT
public:
    explicit AttachmentsModel(QObject* parent = nullptr);
    void setSnapshot(const MonitorSnapshot& s);
    const MonAttachment& at(int row) const { return m_rows.at(row); }

protected:
    int rows() const override { return static_cast<int>(m_rows.size()); }
    qint64 rowId(int row) const override { return m_rows.at(row).id; }
    QVariant cell(int row, int column) const override;
    bool numeric(int column) const override;
    bool marked(int row) const override { return m_rows.at(row).own != MonAttachment::Other; }

private:
    QList<MonAttachment> m_rows;
};

class TransactionsModel : public MonitorTableModel {
    Q_OBJECT
public:
    explicit TransactionsModel(QObject* parent = nullptr);
    void setRows(const QList<MonTransaction>& rows);

protected:
    int rows() const override { return static_cast<int>(m_rows.size()); }
    qint64 rowId(int row) const override { return m_rows.at(row).id; }
    QVariant cell(int row, int column) const override;
    bool numeric(int column) const override { return column == 0; }
    bool marked(int row) const override { return m_rows.at(row).oldestActive; }

private:
    QList<MonTransaction> m_rows;
};

class StatementsModel : public MonitorTableModel {
    Q_OBJECT
public:
    explicit StatementsModel(QObject* parent = nullptr);
    void setRows(const QList<MonStatement>& rows);
    const MonStatement& at(int row) const { return m_rows.at(row); }

protected:
    int rows() const override { return static_cast<int>(m_rows.size()); }
    qint64 rowId(int row) const override { return m_rows.at(row).id; }
    QVariant cell(int row, int column) const override;
    bool numeric(int column) const override { return column <= 1 || column == 4; }

private:
    QList<MonStatement> m_rows;
};

// Text of a timestamp as the grids show it (dd/MM/yyyy hh:mm:ss).
QString monitorTimeText(const QDateTime& t);
