// Beside the phone: what the device's check of the settings file the hosts
// read found (the plug-in's loader, in `zorvane check`'s words). Nothing
// when the file is clean or absent.

export function drawFindings(findings, elements) {
  const list = findings?.findings || [];
  elements.section.hidden = !findings || list.length === 0;
  elements.section.dataset.status = findings?.status || '';
  elements.summary.textContent = findings?.summary || '';
  elements.list.replaceChildren(...list.map((finding) => {
    const li = document.createElement('li');
    li.dataset.severity = finding.severity;
    li.dataset.kind = finding.kind;
    li.textContent = finding.path ? `${finding.path}: ${finding.message}` : finding.message;
    return li;
  }));
}
