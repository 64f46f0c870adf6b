'use strict';

// The session extension against a fake editor and real request files in a scratch folder.

const assert = require('node:assert/strict');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { test, beforeEach, afterEach } = require('node:test');

const { createFake, loadExtension, makeContext, FakeUri } = require('./fake-vscode.js');

const GUID = '3F2504E0-4F89-11D3-9A0C-0305E82C3301';
const CHAT_SESSION = '6a1f0c44-2b7e-4d0e-9a55-0c3f1b2d4e6f';
const READ_FAILED = 'Tavrilo: Could not read the restore request. ';
const MESSAGES = {
  chatFile: 'Chat 세션 파일을 찾을 수 없습니다.',
  claudeExtension: 'Claude Code 확장을 사용할 수 없습니다.',
  codexExtension: 'Codex 확장을 사용할 수 없습니다.',
  openFailed: 'Tavrilo: AI 대화를 열지 못했습니다.',
};

let root;
let savedEnv;

beforeEach(() => {
  root = fs.mkdtempSync(path.join(os.tmpdir(), 'tavrilo-extension-'));
  savedEnv = { LOCALAPPDATA: process.env.LOCALAPPDATA, APPDATA: process.env.APPDATA };
  process.env.LOCALAPPDATA = path.join(root, 'Local');
  process.env.APPDATA = path.join(root, 'Roaming');
});

afterEach(() => {
  for (const [name, value] of Object.entries(savedEnv)) {
    if (value === undefined) delete process.env[name];
    else process.env[name] = value;
  }
  fs.rmSync(root, { recursive: true, force: true });
});

function workspacesFolder() {
  return path.join(root, 'Local', 'Quenlor', 'VSCode', 'Workspaces');
}

// A generated workspace with its request, as Tavrilo writes them, and the editor state of
// a window opened on it. `request` members override the defaults; null removes one.
function scenario({ request = {}, guid = GUID, writeRequest = true, fakeOptions = {}, storage } = {}) {
  const project = path.join(root, 'Work', 'Proj');
  fs.mkdirSync(project, { recursive: true });
  const folder = path.join(workspacesFolder(), guid);
  fs.mkdirSync(folder, { recursive: true });
  const workspaceFile = path.join(folder, 'Proj.code-workspace');
  fs.writeFileSync(workspaceFile, JSON.stringify({ folders: [{ path: project }] }));
  const body = {
    source: 'VS Code Codex',
    session: GUID.toLowerCase(),
    model: '',
    workspace: '',
    folder: project,
    messages: MESSAGES,
    ...request,
  };
  for (const key of Object.keys(body)) if (body[key] === null) delete body[key];
  const requestFile = path.join(folder, 'restore.json');
  if (writeRequest) fs.writeFileSync(requestFile, JSON.stringify(body, null, 2) + '\n');
  const storageFolder =
    storage !== undefined ? storage : path.join(root, 'Roaming', 'Code', 'User', 'workspaceStorage', 'w1', 'quenlor-local.project-session');
  const fake = createFake({ workspaceFile, folders: [project], ...fakeOptions });
  return { project, folder, workspaceFile, requestFile, fake, context: makeContext(storageFolder) };
}

async function activate(s) {
  const extension = loadExtension(s.fake);
  await extension.activate(s.context);
}

function chatSessionFile(product = 'Code', name = CHAT_SESSION + '.jsonl', parent = 'chatSessions') {
  const folder = path.join(root, 'Roaming', product, 'User', 'workspaceStorage', 'other', parent);
  fs.mkdirSync(folder, { recursive: true });
  const file = path.join(folder, name);
  fs.writeFileSync(file, '{"version":3}\n');
  return file;
}

test('a Codex request reopens the conversation once, matching the folder in any case', async () => {
  const upper = path.join(root, 'WORK', 'proj');
  const s = scenario({ request: { folder: upper }, fakeOptions: { extensions: ['openai.chatgpt'], uriScheme: 'vscode-insiders' } });
  await activate(s);

  assert.deepEqual(s.fake.calls.warnings, []);
  assert.deepEqual(s.fake.calls.activated, ['openai.chatgpt']);
  assert.equal(s.fake.calls.commands.length, 2);
  assert.deepEqual(s.fake.calls.commands[0], ['chatgpt.openSidebar']);
  const [id, uri] = s.fake.calls.commands[1];
  assert.equal(id, 'vscode.open');
  assert.equal(uri.scheme, 'vscode-insiders');
  assert.equal(uri.authority, 'openai.chatgpt');
  assert.equal(uri.path, '/local/' + GUID.toLowerCase());
  assert.equal(fs.existsSync(s.requestFile), false, 'a restored request is removed');

  // The next opening of the same workspace finds nothing to do.
  const again = { ...s, fake: createFake({ workspaceFile: s.workspaceFile, folders: [s.project], extensions: ['openai.chatgpt'] }) };
  await activate(again);
  assert.deepEqual(again.fake.calls.commands, []);
  assert.deepEqual(again.fake.calls.warnings, []);
});

test('a Codex request with a session that is no GUID only opens the sidebar', async () => {
  const s = scenario({ request: { session: 'rollout-2024' }, fakeOptions: { extensions: ['openai.chatgpt'] } });
  await activate(s);
  assert.deepEqual(s.fake.calls.commands, [['chatgpt.openSidebar']]);
  assert.equal(fs.existsSync(s.requestFile), false);
});

test('windows and requests that are not Tavrilo\'s are ignored silently and the request stays', async (t) => {
  const cases = [
    ['workspace folder not in GUID form', { guid: 'not-a-guid' }],
    ['GUID folder one level too deep', { guid: path.join('nested', GUID) }],
    ['no workspace file', { fakeOptions: { workspaceFile: undefined } }],
    ['workspace file not on disk', { fakeOptions: { workspaceFile: FakeUri.parse('vscode-remote://host/ws.code-workspace') } }],
    ['two workspace folders', { fakeOptions: { folders: [path.join(root, 'Work', 'Proj'), path.join(root, 'Work')] } }],
    ['folder of another project', { request: { folder: path.join(root, 'Work', 'Other') } }],
    ['session missing', { request: { session: null } }],
    ['folder not a string', { request: { folder: 7 } }],
    ['unknown source', { request: { source: 'Codex' } }],
  ];
  for (const [name, options] of cases) {
    await t.test(name, async () => {
      const s = scenario({ ...options, fakeOptions: { extensions: ['openai.chatgpt'], ...options.fakeOptions } });
      await activate(s);
      assert.deepEqual(s.fake.calls.commands, []);
      assert.deepEqual(s.fake.calls.warnings, []);
      assert.equal(fs.existsSync(s.requestFile), true);
      fs.rmSync(path.join(root, 'Local'), { recursive: true, force: true });
    });
  }
});

test('a missing request is silent; an unreadable one is reported', async () => {
  const none = scenario({ writeRequest: false });
  await activate(none);
  assert.deepEqual(none.fake.calls.warnings, []);

  const broken = scenario();
  fs.writeFileSync(broken.requestFile, '{"source": ');
  await activate(broken);
  assert.equal(broken.fake.calls.warnings.length, 1);
  assert.ok(broken.fake.calls.warnings[0].startsWith(READ_FAILED), broken.fake.calls.warnings[0]);
  assert.ok(broken.fake.calls.warnings[0].length > READ_FAILED.length);
  assert.equal(fs.existsSync(broken.requestFile), true);
});

test('a request with a byte-order mark is read', async () => {
  const s = scenario({ fakeOptions: { extensions: ['openai.chatgpt'] } });
  fs.writeFileSync(s.requestFile, '\ufeff' + fs.readFileSync(s.requestFile, 'utf8'));
  await activate(s);
  assert.deepEqual(s.fake.calls.warnings, []);
  assert.equal(s.fake.calls.commands[0][0], 'chatgpt.openSidebar');
});

test('a missing Codex extension shows openFailed and codexExtension and keeps the request', async () => {
  const s = scenario();
  await activate(s);
  assert.deepEqual(s.fake.calls.warnings, [MESSAGES.openFailed + ' ' + MESSAGES.codexExtension]);
  assert.deepEqual(s.fake.calls.commands, []);
  assert.equal(fs.existsSync(s.requestFile), true);

  // Without its own texts the request falls back to English.
  const bare = scenario({ request: { messages: null } });
  await activate(bare);
  assert.deepEqual(bare.fake.calls.warnings, ['Tavrilo: Could not open the AI conversation. Codex extension is unavailable.']);
});

test('Claude Code opens the session by GUID, else the last conversation, and needs its extension', async () => {
  const byId = scenario({ request: { source: 'VS Code Claude Code', session: CHAT_SESSION }, fakeOptions: { extensions: ['Anthropic.claude-code'] } });
  await activate(byId);
  assert.deepEqual(byId.fake.calls.activated, ['Anthropic.claude-code']);
  assert.deepEqual(byId.fake.calls.commands, [['claude-vscode.editor.open', CHAT_SESSION]]);
  assert.equal(fs.existsSync(byId.requestFile), false);

  const last = scenario({ request: { source: 'VS Code Claude Code', session: 'sess-42' }, fakeOptions: { extensions: ['Anthropic.claude-code'] } });
  await activate(last);
  assert.deepEqual(last.fake.calls.commands, [['claude-vscode.editor.openLast']]);
  assert.equal(fs.existsSync(last.requestFile), false);

  const missing = scenario({ request: { source: 'VS Code Claude Code', session: CHAT_SESSION } });
  await activate(missing);
  assert.deepEqual(missing.fake.calls.warnings, [MESSAGES.openFailed + ' ' + MESSAGES.claudeExtension]);
  assert.equal(fs.existsSync(missing.requestFile), true);
});

test('a failing editor command keeps the request and names the failure', async () => {
  const s = scenario({
    request: { source: 'VS Code Claude Code', session: CHAT_SESSION },
    fakeOptions: { extensions: ['Anthropic.claude-code'], failingCommands: ['claude-vscode.editor.open'] },
  });
  await activate(s);
  assert.deepEqual(s.fake.calls.warnings, [MESSAGES.openFailed + ' command claude-vscode.editor.open failed']);
  assert.equal(fs.existsSync(s.requestFile), true);
});

test('a Chat session is copied into this window\'s storage and opened by its base64url URI', async () => {
  const source = chatSessionFile('Code - Insiders');
  const s = scenario({ request: { source: 'VS Code Chat', session: CHAT_SESSION, workspace: source } });
  await activate(s);

  assert.deepEqual(s.fake.calls.warnings, []);
  const copied = path.join(path.dirname(s.context.storageUri.fsPath), 'chatSessions', CHAT_SESSION + '.jsonl');
  assert.equal(fs.readFileSync(copied, 'utf8'), '{"version":3}\n');
  assert.equal(s.fake.calls.commands.length, 1);
  const [id, argument] = s.fake.calls.commands[0];
  assert.equal(id, 'workbench.action.chat.openSessionInEditorGroup');
  const encoded = Buffer.from(CHAT_SESSION, 'utf8').toString('base64').replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
  assert.equal(argument.resource.scheme, 'vscode-chat-session');
  assert.equal(argument.resource.authority, 'local');
  assert.equal(argument.resource.path, '/' + encoded);
  assert.equal(fs.existsSync(s.requestFile), false);
});

test('a Chat session already copied is kept, not overwritten', async () => {
  const source = chatSessionFile();
  const s = scenario({ request: { source: 'VS Code Chat', session: CHAT_SESSION, workspace: source } });
  const copied = path.join(path.dirname(s.context.storageUri.fsPath), 'chatSessions', CHAT_SESSION + '.jsonl');
  fs.mkdirSync(path.dirname(copied), { recursive: true });
  fs.writeFileSync(copied, 'edited in this window');
  await activate(s);
  assert.deepEqual(s.fake.calls.warnings, []);
  assert.equal(fs.readFileSync(copied, 'utf8'), 'edited in this window');
  assert.equal(s.fake.calls.commands[0][0], 'workbench.action.chat.openSessionInEditorGroup');
});

test('a Chat file outside the allowed places is refused with chatFile', async (t) => {
  const cases = [
    ['another user\'s storage', () => {
      const file = path.join(root, 'OtherUser', 'Code', 'User', 'workspaceStorage', 'x', 'chatSessions', CHAT_SESSION + '.json');
      fs.mkdirSync(path.dirname(file), { recursive: true });
      fs.writeFileSync(file, '{}');
      return file;
    }],
    ['another product\'s storage', () => chatSessionFile('Code - OSS')],
    ['a file named after another session', () => chatSessionFile('Code', '11111111-2222-3333-4444-555555555555.json')],
    ['a file not in a chatSessions folder', () => chatSessionFile('Code', CHAT_SESSION + '.json', 'history')],
    ['a path climbing out of the storage', () => {
      chatSessionFile();
      return path.join(root, 'Roaming', 'Code', 'User', 'workspaceStorage', '..', '..', '..', 'chatSessions', CHAT_SESSION + '.json');
    }],
    ['no file named at all', () => ''],
  ];
  for (const [name, makeSource] of cases) {
    await t.test(name, async () => {
      const s = scenario({ request: { source: 'VS Code Chat', session: CHAT_SESSION, workspace: makeSource() } });
      await activate(s);
      assert.deepEqual(s.fake.calls.warnings, [MESSAGES.openFailed + ' ' + MESSAGES.chatFile]);
      assert.deepEqual(s.fake.calls.commands, []);
      assert.equal(fs.existsSync(path.join(path.dirname(s.context.storageUri.fsPath), 'chatSessions')), false);
      assert.equal(fs.existsSync(s.requestFile), true);
      fs.rmSync(path.join(root, 'Local'), { recursive: true, force: true });
    });
  }
});

test('Chat sessions without a copyable file: agent host URI, or the chat view', async (t) => {
  const agent = 'agent-host-copilotcli:/session/' + CHAT_SESSION;
  const cases = [
    ['agent-host session', { session: agent }, undefined, ['workbench.action.chat.openSessionInEditorGroup', agent]],
    ['session that is no GUID', { session: 'chat-1' }, undefined, ['workbench.panel.chat.view.copilot.focus']],
    ['storage that is not local', { session: CHAT_SESSION }, FakeUri.parse('vscode-userdata://x/storage'), ['workbench.panel.chat.view.copilot.focus']],
    ['no storage at all', { session: CHAT_SESSION }, null, ['workbench.panel.chat.view.copilot.focus']],
  ];
  for (const [name, request, storage, expected] of cases) {
    await t.test(name, async () => {
      const s = scenario({ request: { source: 'VS Code Chat', ...request }, storage: storage === null ? undefined : storage });
      if (storage === null) s.context.storageUri = undefined;
      await activate(s);
      assert.deepEqual(s.fake.calls.warnings, []);
      assert.equal(s.fake.calls.commands.length, 1);
      const [id, argument] = s.fake.calls.commands[0];
      assert.equal(id, expected[0]);
      if (expected.length > 1) {
        assert.equal(argument.resource.scheme, 'agent-host-copilotcli');
        assert.equal(argument.resource.path, '/session/' + CHAT_SESSION);
      }
      assert.equal(fs.existsSync(s.requestFile), false);
      fs.rmSync(path.join(root, 'Local'), { recursive: true, force: true });
    });
  }
});

test('an untrusted window waits for trust before restoring', async () => {
  const s = scenario({ fakeOptions: { trusted: false, extensions: ['openai.chatgpt'] } });
  const extension = loadExtension(s.fake);
  assert.equal(extension.activate(s.context), undefined);
  assert.deepEqual(s.fake.calls.commands, []);
  assert.equal(s.context.subscriptions.length, 1, 'the trust registration is disposed with the extension');
  assert.equal(s.fake.calls.trustListeners.length, 1);
  await s.fake.calls.trustListeners[0]();
  assert.equal(s.fake.calls.commands[0][0], 'chatgpt.openSidebar');
  assert.equal(fs.existsSync(s.requestFile), false);
});

test('the manifest names what the installer checks', () => {
  const manifest = JSON.parse(fs.readFileSync(path.join(__dirname, 'package.json'), 'utf8'));
  assert.equal(manifest.publisher + '.' + manifest.name, 'quenlor-local.project-session');
  assert.equal(manifest.version, '1.2.0');
  assert.deepEqual(manifest.activationEvents, ['onStartupFinished']);
  assert.equal(manifest.main, './extension.js');
  assert.deepEqual(Object.keys(loadExtension(createFake())), ['activate']);
});
