#include "request.h"

#include "text_lines.h"

Request ReadRequest(WindowOps& window)
{
    Request request;
    request.sourceFolder = TrimBlanks(window.Text(Field::Text1));
    request.sourceDlc = TrimBlanks(window.Text(Field::Text5));
    request.destinationFolder = TrimBlanks(window.Text(Field::Text2));
    request.destinationDlc = TrimBlanks(window.Text(Field::Text6));
    request.dumpFolder = TrimBlanks(window.Text(Field::Text4));
    request.transactions = window.Value(CheckBox::Check1) == 1;
    request.dump = window.Value(CheckBox::Check2) == 1;
    request.load = window.Value(CheckBox::Check3) == 1;
    request.verify = window.Value(CheckBox::Check4) == 1;
    request.parallel = window.Value(CheckBox::Check5) == 1;
    return request;
}
