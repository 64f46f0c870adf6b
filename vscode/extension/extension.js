'use strict';

// Reopens, in a window that Tavrilo opened on one of its generated workspaces, the AI
// conversation named by the restore request written beside the workspace file.

const fs = require('fs');
const path = require('path');
const vscode = require('vscode');

const GUID = /^[0-9a-f]{8}(-[0-9a-f]{4}){3}-[0-9a-f]{12}$/i;
const REQUEST_FILE = 'restore.json';

const DEFAULT_MESSAGES = {
  chatFile: 'Chat session file is unavailable.',
  claudeExtension: 'Claude Code extension is unavailable.',
  codexExtension: 'Codex extension is unavailable.',
  openFailed: 'Tavrilo: Could not open the AI conversation.',
};

function activate(context) {
  const run = () =>
    restore(context).catch((error) => {
      vscode.window.showWarningMessage('Tavrilo: Could not read the restore request. ' + errorText(error));
    });
  if (vscode.workspace.isTrusted) {
    return run();
  }
  // Opening conversations and copying session files waits until the user trusts the window.
  context.subscriptions.push(vscode.workspace.onDidGrantWorkspaceTrust(run));
  return undefined;
}

function errorText(error) {
  if (error && typeof error.message === 'string') return error.message;
  return String(error);
}

function sameText(a, b) {
  return a.toLowerCase() === b.toLowerCase();
}

// The folder of Tavrilo's generated workspace this window was opened from, or null when
// the window belongs to someone else.
function generatedWorkspaceFolder() {
  const workspaceFile = vscode.workspace.workspaceFile;
  const folders = vscode.workspace.workspaceFolders;
  if (!workspaceFile || workspaceFile.scheme !== 'file') return null;
  if (!folders || folders.length !== 1 || folders[0].uri.scheme !== 'file') return null;
  const localAppData = process.env.LOCALAPPDATA;
  // Without the variable there is no place Tavrilo could have written to; a relative
  // root would match folders under whatever the current folder happens to be.
  if (!localAppData) return null;
  const root = path.resolve(localAppData, 'Quenlor', 'VSCode', 'Workspaces');
  const folder = path.dirname(path.resolve(workspaceFile.fsPath));
  if (!sameText(path.dirname(folder), root) || !GUID.test(path.basename(folder))) return null;
  return folder;
}

async function readRequest(file) {
  let text;
  try {
    text = await fs.promises.readFile(file, 'utf8');
  } catch (error) {
    if (error && error.code === 'ENOENT') return null;
    throw error;
  }
  if (text.charCodeAt(0) === 0xfeff) text = text.slice(1);
  return JSON.parse(text);
}

async function restore(context) {
  const folder = generatedWorkspaceFolder();
  if (!folder) return;
  const requestFile = path.join(folder, REQUEST_FILE);
  const request = await readRequest(requestFile);
  if (!request || typeof request !== 'object') return;
  if (typeof request.session !== 'string' || typeof request.folder !== 'string') return;
  const windowFolder = vscode.workspace.workspaceFolders[0].uri.fsPath;
  if (!sameText(path.resolve(request.folder), path.resolve(windowFolder))) return;

  const restorers = {
    'VS Code Chat': restoreChat,
    'VS Code Codex': restoreCodex,
    'VS Code Claude Code': restoreClaude,
  };
  const chosen = Object.prototype.hasOwnProperty.call(restorers, request.source) ? restorers[request.source] : null;
  if (!chosen) return;

  try {
    await chosen(context, request);
  } catch (error) {
    // The request stays, so the next opening of this workspace tries again.
    vscode.window.showWarningMessage(message(request, 'openFailed') + ' ' + errorText(error));
    return;
  }
  try {
    await fs.promises.unlink(requestFile);
  } catch (error) {
    if (!error || error.code !== 'ENOENT') throw error;
  }
}

// The request's own (already translated) text, or the English one.
function message(request, key) {
  const messages = request.messages;
  if (messages && typeof messages === 'object' && typeof messages[key] === 'string' && messages[key] !== '') {
    return messages[key];
  }
  return DEFAULT_MESSAGES[key];
}

function chatStorageRoots() {
  const appData = process.env.APPDATA;
  if (!appData) return [];
  return ['Code', 'Code - Insiders'].map(
    (product) => path.resolve(appData, product, 'User', 'workspaceStorage').toLowerCase() + path.sep,
  );
}

// Copies the recorded chat session file into this window's own storage, where the chat
// view looks for it. Only files from VS Code's chat storage of this user are taken.
async function adoptChatSession(context, request) {
  const session = request.session;
  const source = typeof request.workspace === 'string' && request.workspace !== '' ? path.resolve(request.workspace) : '';
  const lowered = source.toLowerCase();
  const inRoot = source !== '' && chatStorageRoots().some((root) => lowered.startsWith(root));
  const name = path.basename(source);
  if (
    !inRoot ||
    path.basename(path.dirname(source)) !== 'chatSessions' ||
    (name !== session + '.json' && name !== session + '.jsonl')
  ) {
    throw new Error(message(request, 'chatFile'));
  }
  const destinationFolder = path.join(path.dirname(context.storageUri.fsPath), 'chatSessions');
  await fs.promises.mkdir(destinationFolder, { recursive: true });
  try {
    await fs.promises.copyFile(source, path.join(destinationFolder, name), fs.constants.COPYFILE_EXCL);
  } catch (error) {
    // A copy from an earlier opening is the same conversation.
    if (!error || error.code !== 'EEXIST') throw error;
  }
}

async function restoreChat(context, request) {
  const session = request.session;
  let uri = null;
  if (session.startsWith('agent-host-copilotcli:/') && GUID.test(session.split('/').pop())) {
    uri = vscode.Uri.parse(session);
  } else if (GUID.test(session) && context.storageUri && context.storageUri.scheme === 'file') {
    await adoptChatSession(context, request);
    uri = vscode.Uri.parse('vscode-chat-session://local/' + Buffer.from(session, 'utf8').toString('base64url'));
  }
  if (!uri) {
    await vscode.commands.executeCommand('workbench.panel.chat.view.copilot.focus');
    return;
  }
  await vscode.commands.executeCommand('workbench.action.chat.openSessionInEditorGroup', { resource: uri });
}

async function activatedExtension(id, request, messageKey) {
  const extension = vscode.extensions.getExtension(id);
  if (!extension) throw new Error(message(request, messageKey));
  await extension.activate();
  return extension;
}

async function restoreClaude(context, request) {
  await activatedExtension('Anthropic.claude-code', request, 'claudeExtension');
  if (GUID.test(request.session)) {
    await vscode.commands.executeCommand('claude-vscode.editor.open', request.session);
  } else {
    await vscode.commands.executeCommand('claude-vscode.editor.openLast');
  }
}

async function restoreCodex(context, request) {
  await activatedExtension('openai.chatgpt', request, 'codexExtension');
  await vscode.commands.executeCommand('chatgpt.openSidebar');
  if (GUID.test(request.session)) {
    // Stable and Insiders answer to different schemes.
    const uri = vscode.Uri.from({
      scheme: vscode.env.uriScheme,
      authority: 'openai.chatgpt',
      path: '/local/' + request.session,
    });
    await vscode.commands.executeCommand('vscode.open', uri);
  }
}

module.exports = { activate };
