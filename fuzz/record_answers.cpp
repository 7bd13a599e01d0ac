// Records what a printer answers, as the IPP messages libcups reads, for the
// seed corpus of fuzz_printer_answers (fuzz/record-corpus.sh runs it):
//   record_answers OUT URI [JOB]
// writes OUT-printer (Get-Printer-Attributes, all of them and its media
// database) and, given a job's number, OUT-job (Get-Job-Attributes). A URI
// on "localhost" without a port is the print server CUPS_SERVER names.
#include <cups/cups.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

ssize_t Write(void* to, ipp_uchar_t* buffer, std::size_t bytes) {
  return static_cast<ssize_t>(std::fwrite(buffer, 1, bytes, static_cast<std::FILE*>(to)));
}

bool Record(http_t* http, ipp_t* request, const std::string& resource, const std::string& path) {
  ipp_t* answer = cupsDoRequest(http, request, resource.c_str());
  std::FILE* out = answer ? std::fopen(path.c_str(), "wb") : nullptr;
  if (answer) ippSetState(answer, IPP_STATE_IDLE);  // written from its start
  const bool ok = out && ippWriteIO(out, Write, 1, nullptr, answer) == IPP_STATE_DATA;
  if (out) std::fclose(out);
  ippDelete(answer);
  if (!ok) std::fprintf(stderr, "%s: %s\n", path.c_str(), cupsLastErrorString());
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: record_answers OUT URI [JOB]\n");
    return 2;
  }
  const std::string out = argv[1];
  const char* uri = argv[2];
  char scheme[32], user[256], host[256], resource[1024];
  int port = 0;
  if (httpSeparateURI(HTTP_URI_CODING_ALL, uri, scheme, sizeof scheme, user, sizeof user, host,
                      sizeof host, &port, resource, sizeof resource) < HTTP_URI_STATUS_OK)
    return 2;
  const bool server = std::string(uri).starts_with("ipp://localhost/");
  http_t* http = server ? httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC,
                                       HTTP_ENCRYPTION_IF_REQUESTED, 1, 5000, nullptr)
                        : httpConnect2(host, port, nullptr, AF_UNSPEC, HTTP_ENCRYPTION_IF_REQUESTED,
                                       1, 5000, nullptr);
  if (!http) return 1;
  ipp_t* printer = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
  ippAddString(printer, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
  static const char* const kAll[] = {"all", "media-col-database"};
  ippAddStrings(printer, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 2, nullptr, kAll);
  bool ok = Record(http, printer, server ? "/" : resource, out + "-printer");
  if (argc > 3) {
    ipp_t* job = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    ippAddString(job, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    ippAddInteger(job, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", std::atoi(argv[3]));
    ok = Record(http, job, server ? "/" : resource, out + "-job") && ok;
  }
  httpClose(http);
  return ok ? 0 : 1;
}
