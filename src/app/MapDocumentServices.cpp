#include "app/MapDocumentServices.h"

MapDocumentServices& MapDocumentServices::installed()
{
    static MapDocumentServices services;
    return services;
}
