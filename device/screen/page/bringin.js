// "Add from this computer": a settings or profile file chosen with the file
// picker, or dropped onto the page, goes to the launcher, which checks it
// with the plug-in's loader and says what it found; the person names the
// profile (the launcher suggests a name) and adds it. The launcher refuses
// a file the plug-in cannot use, a name that is no profile's, and an
// existing profile unless the person confirms its replacement; its reason
// is shown and nothing is written. The Profiles page then lists the profile,
// and loading it there is the usual load.

import { withToken } from './access.js';

async function post(path, params, bytes) {
  const answer = await fetch(`${withToken(path)}&${new URLSearchParams(params)}`, {
    method: 'POST', body: bytes, cache: 'no-store', headers: { 'Content-Type': 'application/octet-stream' },
  });
  const text = await answer.text();
  try {
    return { status: answer.status, ...JSON.parse(text) };
  } catch {
    return { status: answer.status, error: text.trim() || `refused (${answer.status})` };
  }
}

export function wireBringIn(e) {
  let chosen = null;  // { name, bytes }

  const show = (result) => {
    e.result.textContent = result;
  };
  const close = () => {
    chosen = null;
    e.check.hidden = true;
    e.replace.hidden = true;
  };

  async function bringIn(file) {
    close();
    show('');
    try {
      const bytes = await file.arrayBuffer();
      const checked = await post('/upload/check', { file: file.name }, bytes);
      if (checked.error) {
        show(`"${file.name}" was not added: ${checked.error} Nothing was written.`);
        return;
      }
      chosen = { name: file.name, bytes };
      e.verdict.textContent = checked.status === 'warnings'
        ? `"${file.name}": the plug-in skips part of it.` : `"${file.name}": the plug-in reads all of it.`;
      e.findings.replaceChildren(...checked.findings.map((finding) => {
        const li = document.createElement('li');
        li.textContent = finding.path ? `${finding.path}: ${finding.message}` : finding.message;
        return li;
      }));
      e.name.value = checked.name;
      e.check.hidden = false;
      e.name.focus();
    } catch (error) {
      show(`"${file.name}" was not added: ${error.message}`);
    }
  }

  async function add(replace) {
    if (!chosen) return;
    const name = e.name.value;
    try {
      const added = await post('/upload/add', replace ? { name, replace: '1' } : { name }, chosen.bytes);
      if (added.exists) {
        show(`${added.error} Replace it with "${chosen.name}"?`);
        e.replace.hidden = false;
        e.replace.focus();
        return;
      }
      if (added.error) {
        show(`Not added: ${added.error} Nothing was written.`);
        return;
      }
      close();
      show(`Profile "${added.name}" added: Profiles lists it.`);
      e.choose.focus();
    } catch (error) {
      show(`Not added: ${error.message}`);
    }
  }

  e.choose.addEventListener('click', () => e.input.click());
  e.input.addEventListener('change', () => {
    const file = e.input.files[0];
    e.input.value = '';
    if (file) bringIn(file);
  });
  e.add.addEventListener('click', () => add(false));
  e.replace.addEventListener('click', () => add(true));
  e.cancel.addEventListener('click', () => {
    close();
    show('');
    e.choose.focus();
  });
  e.name.addEventListener('input', () => {
    e.replace.hidden = true;
  });
  e.name.addEventListener('keydown', (event) => {
    if (event.key !== 'Enter' || event.isComposing || event.repeat) return;
    event.preventDefault();
    add(false);
  });

  // A file dropped anywhere on the page.
  const carriesFiles = (event) => [...(event.dataTransfer?.types || [])].includes('Files');
  document.addEventListener('dragover', (event) => {
    if (!carriesFiles(event)) return;
    event.preventDefault();
    event.dataTransfer.dropEffect = 'copy';
    document.body.classList.add('dropping');
  });
  document.addEventListener('dragleave', (event) => {
    if (!event.relatedTarget) document.body.classList.remove('dropping');
  });
  document.addEventListener('drop', (event) => {
    if (!carriesFiles(event)) return;
    event.preventDefault();
    document.body.classList.remove('dropping');
    const file = event.dataTransfer.files[0];
    if (file) bringIn(file);
  });
}
