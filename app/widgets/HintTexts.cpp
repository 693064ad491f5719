#include "app/widgets/HintTexts.h"

namespace app {

QString builtInHintText(int number) {
    switch (number) {
        case 2:
            return QStringLiteral(
                "Please enter the address of the web site you want\n"
                "to analyze and click Analyze or Analyze All button.");
        case 3:
            return QStringLiteral(
                "You have successfully downloaded the web and now you can see\n"
                "details about its content by switching to the Page Analyzis view.");
        case 4:
            return QStringLiteral(
                "You have downloaded a page but some\n"
                "page elements were downloaded with errors.\n\n"
                "You can see details about failed elements\n"
                "by switching to the Page Analyzis view.");
        case 5:
            return QStringLiteral(
                "Web page was not downloaded. You can see error details in Page Details Window.");
        case 6:
            return QStringLiteral(
                "Click on the 'Report Type' button to choose\n"
                "from various web site and web page reports.");
        case 7:
            return QStringLiteral(
                "You can customize list columns by right-clicking on\n"
                "list header or through Settings - Customize dialog.");
        default:
            return {};
    }
}

}  // namespace app
