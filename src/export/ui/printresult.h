#pragma once
#include <QString>

class DataSet;
class QWidget;

// Prints a query's rows as a list report: the orientation question ("Escolha"), then the preview
// of the report titled "Relatório de Dados da tabela - " + the table name, from which the user
// prints or saves it. Waits, handling the application's events, until the preview is closed, and
// then destroys the report. The report belongs to `owner`: while its preview is open, printing
// again from the owner brings that preview to the front, and the preview closes when the
// owner's rows go away (the query closed or reopened, or the owner destroyed).
void printListReport(QWidget* owner, DataSet* dataSet, const QString& tableName);
